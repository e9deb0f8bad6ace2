#include "base/FileBytes.h"

#include "base/SafeFile.h"

#include <atomic>
#include <cstdio>
#include <random>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pestrel {
namespace {

std::string TemporaryNameBeside(const std::string& path) {
    return path + ".~" + UniqueTemporaryPart() + ".tmp";
}

// Makes a rename inside `path`'s folder survive a power loss. Windows has no such step: the
// rename itself writes through.
void FlushFolderOf([[maybe_unused]] const std::string& path) {
#ifndef _WIN32
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#endif
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

std::string UniqueTemporaryPart() {
    // Unique across the threads of this process (counter) and across processes (random part,
    // drawn per call so that a forked copy does not repeat its parent's names).
    static std::atomic<unsigned long long> counter{0};
    return std::to_string(std::random_device{}()) + "-" + std::to_string(++counter);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    return ReadRegularFile(path);
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = TemporaryNameBeside(path);
    // The bytes reach the disk (WriteNewFile flushes them) before the name points at them, so that
    // a power loss leaves the old file or the new one, never an empty one.
    if (!WriteNewFile(temporary, bytes, path))
        return false;
    if (RenameOver(temporary, path)) {
        FlushFolderOf(path);
        return true;
    }
    std::remove(temporary.c_str());
    return false;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
    return AppendToRegularFile(path, bytes);
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
