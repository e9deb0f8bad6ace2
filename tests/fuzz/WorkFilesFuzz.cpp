// Any bytes as the working files. Their lines never hold a line break or the end-of-file mark,
// and written lines read back the same; loading the virus list twice gives the same entries.
// Running the pending deletions of Temp.~txt removes at most the files directly inside the
// Windows and System folders: nothing else under the machine's folder appears or disappears.
// A parsed list warns exactly once for each malformed hash line, and a hash line's digest is 64
// lower-case hex digits.
#include "base/FileBytes.h"
#include "engine/Context.h"
#include "engine/HashLine.h"
#include "engine/WorkFiles.h"
#include "platform/posix/PosixPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A machine in a temporary folder of this process, removed at exit.
struct Machine {
    fs::path root;
    std::unique_ptr<pestrel::PosixPlatform> platform;
    std::unique_ptr<pestrel::Context> context;
    std::vector<fs::path> planted; // files the pending deletions may name

    Machine() {
        std::string pattern = (fs::temp_directory_path() / "pestrel-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        platform = std::make_unique<pestrel::PosixPlatform>(root / "data",
                                                            (root / "app" / "pestrel").string());
        context = std::make_unique<pestrel::Context>(*platform);
        pestrel::InitialiseContext(*context);
        fs::create_directories(context->AppPath);
        const fs::path windows = context->WinDir, system = context->SysDir;
        planted = {windows / "a.exe", windows / "setup..exe", system / "b.dll", system / "a.exe"};
        fs::create_directories(windows / "empty");
        for (const fs::path& file : {root / "outside.exe", root / "data" / "a.exe"})
            Plant(file);
    }
    ~Machine() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    static void Plant(const fs::path& file) {
        if (FILE* stream = std::fopen(file.c_str(), "wb"))
            std::fclose(stream);
    }
    void plantAll() const {
        for (const fs::path& file : planted)
            Plant(file);
    }
    // Every path under the root, and whether it is a plain file.
    std::map<fs::path, bool> everything() const {
        std::map<fs::path, bool> paths;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            paths[entry.path()] = entry.is_regular_file() && !entry.is_symlink();
        return paths;
    }
    void write(const std::string& name, const std::string& bytes) const {
        FILE* stream = std::fopen((fs::path(context->AppPath) / name).c_str(), "wb");
        if (!stream || std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size())
            std::abort();
        std::fclose(stream);
    }
};

void CheckLineRules(const Machine& machine, const std::string& bytes) {
    machine.write("lines.txt", bytes);
    const std::unique_ptr<pestrel::HeldFolder> app = pestrel::HoldWorkFolder(*machine.context);
    std::vector<std::string> lines, again;
    if (!app || !pestrel::ReadTextLines(*app, "lines.txt", lines))
        std::abort();
    for (const std::string& line : lines) {
        if (line.find_first_of(std::string("\r\n\x1A", 3)) != std::string::npos)
            std::abort(); // a line holds a line break or the end mark
    }
    if (!pestrel::WriteTextLines(*app, "lines.txt", lines) ||
        !pestrel::ReadTextLines(*app, "lines.txt", again) || again != lines)
        std::abort(); // written lines do not read back
}

void CheckVirusList(const Machine& machine, const std::string& bytes) {
    machine.write("VirusList.txt", bytes);
    const pestrel::VirusListLoad first = pestrel::LoadVirusList(*machine.context);
    const pestrel::VirusListLoad second = pestrel::LoadVirusList(*machine.context);
    // Only a list that announces UTF-16 and does not decode is refused, and it is left as it was.
    const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    if (!first.ok && utf16 && !second.ok &&
        pestrel::ReadFileBytes(machine.context->AppPath + "VirusList.txt") == bytes)
        return;
    if (!first.ok || !second.ok || first.entries != second.entries)
        std::abort();
    for (const std::string& entry : first.entries) {
        if (!pestrel::HasVisibleText(entry))
            std::abort();
    }
}

void CheckListLines(const std::string& bytes) {
    const pestrel::ListFile list = pestrel::ParseListFile(bytes);
    std::size_t malformed = 0;
    for (const std::string& entry : list.entries) {
        const pestrel::ListLineKind kind = pestrel::KindOfListLine(entry);
        malformed += kind == pestrel::ListLineKind::MalformedHash;
        const std::optional<std::string> hash = pestrel::HashOfListLine(entry);
        if (hash.has_value() != (kind == pestrel::ListLineKind::Hash))
            std::abort();
        if (hash && (hash->size() != 64 ||
                     hash->find_first_not_of("0123456789abcdef") != std::string::npos))
            std::abort();
    }
    if (list.warnings.size() != malformed)
        std::abort();
}

void CheckPendingDeletions(const Machine& machine, const std::string& bytes) {
    machine.plantAll();
    machine.write("Temp.~txt", bytes);
    const std::map<fs::path, bool> before = machine.everything();
    if (!pestrel::RunPendingDeletions(*machine.context))
        std::abort();
    const std::map<fs::path, bool> after = machine.everything();
    const fs::path pending = fs::path(machine.context->AppPath) / "Temp.~txt";
    if (after.count(pending))
        std::abort(); // the list of pending deletions stays
    const fs::path windows = fs::path(machine.context->WinDir).parent_path();
    const fs::path system = fs::path(machine.context->SysDir).parent_path();
    for (const auto& entry : after) {
        if (!before.count(entry.first))
            std::abort(); // something was created
    }
    for (const auto& [path, plain] : before) {
        const bool mayGo =
            path == pending ||
            (plain && (path.parent_path() == windows || path.parent_path() == system));
        if (!after.count(path) && !mayGo)
            std::abort(); // something outside the two folders was removed
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Machine machine;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckLineRules(machine, bytes);
    CheckVirusList(machine, bytes);
    CheckListLines(bytes);
    CheckPendingDeletions(machine, bytes);
    return 0;
}
