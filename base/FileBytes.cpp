#include "base/FileBytes.h"

#include <atomic>
#include <cstdio>
#include <random>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace pestrel {
namespace {

std::string TemporaryNameBeside(const std::string& path) {
    // Unique across the threads of this process (counter) and across processes (random part,
    // drawn per call so that a forked copy does not repeat its parent's names).
    static std::atomic<unsigned long long> counter{0};
    return path + ".~" + std::to_string(std::random_device{}()) + "-" + std::to_string(++counter) +
           ".tmp";
}

bool WriteWhole(const std::string& path, const char* mode, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

// Renames `from` over `to`. Both names go to the system as the bytes they are (the ANSI code page
// on Windows), like every other file name of the engine.
bool RenameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return bytes;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = TemporaryNameBeside(path);
    if (WriteWhole(temporary, "wb", bytes) && RenameOver(temporary, path))
        return true;
    std::remove(temporary.c_str());
    return false;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
    return WriteWhole(path, "ab", bytes);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace pestrel
