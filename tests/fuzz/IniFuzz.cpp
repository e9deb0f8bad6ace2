// Any INI text: a key that was written reads back as written (without its outer blanks), and
// every other key reads as it did before.
#include "base/AsciiCase.h"
#include "base/IniFile.h"
#include "platform/posix/PosixHeldFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <unistd.h>

namespace {

// One file in a folder of this process, held as the program holds it, removed at exit.
struct Scratch {
    std::filesystem::path folder;
    std::string file;
    std::unique_ptr<pestrel::PosixHeldFolder> held;
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pestrel-fuzz-XXXXXX");
        if (!::mkdtemp(pattern.data()))
            std::abort();
        folder = pattern;
        file = (folder / "Config.ini").string();
        held = pestrel::PosixHeldFolder::Open(folder.string());
        if (!held)
            std::abort();
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

std::string WithoutOuterBlanks(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    namespace ini = pestrel::ini;
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(32);
    const std::string otherSection = input.ConsumeRandomLengthString(16);
    const std::string otherKey = input.ConsumeRandomLengthString(16);
    const std::string text = input.ConsumeRemainingBytesAsString();

    std::filesystem::remove(scratch.file);
    if (!text.empty()) {
        FILE* file = std::fopen(scratch.file.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    if (!scratch.held->writeProfileString("Config.ini", section, key, value))
        return 0; // names and values that cannot be stored are refused
    constexpr const char* kMissing = "\x01missing";
    if (scratch.held->readProfileString("Config.ini", section, key, kMissing) !=
        WithoutOuterBlanks(value))
        std::abort(); // the key that was written does not read back
    const bool sameKey =
        pestrel::EqualsIgnoringAsciiCase(WithoutOuterBlanks(section),
                                         WithoutOuterBlanks(otherSection)) &&
        pestrel::EqualsIgnoringAsciiCase(WithoutOuterBlanks(key), WithoutOuterBlanks(otherKey));
    if (!sameKey &&
        scratch.held->readProfileString("Config.ini", otherSection, otherKey, kMissing) !=
            ini::Read(text, otherSection, otherKey).value_or(kMissing))
        std::abort(); // writing one key changed another
    return 0;
}
