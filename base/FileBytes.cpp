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

#ifdef _WIN32
std::string TemporaryNameBeside(const std::string& path) {
    return path + ".~" + UniqueTemporaryPart() + ".tmp";
}
#endif

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
#ifdef _WIN32
    const std::string temporary = TemporaryNameBeside(path);
    // The bytes reach the disk (WriteNewFile flushes them) before the name points at them, so that
    // a power loss leaves the old file or the new one, never an empty one.
    if (!WriteNewFile(temporary, bytes, path))
        return false;
    if (MoveFileExA(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    DeleteFileA(temporary.c_str());
    return false;
#else
    // One folder, held once: the new file, the rename and the flush all happen in it.
    const std::optional<FileInFolder> place = HoldFolderOf(path);
    if (!place)
        return false;
    const std::string temporary = place->name + ".~" + UniqueTemporaryPart() + ".tmp";
    // The bytes reach the disk before the name points at them, so that a power loss leaves the
    // old file or the new one, never an empty one.
    const int folder = place->folder.get();
    if (!WriteNewFileIn(folder, temporary, bytes, PermissionsOf(*place)))
        return false;
    if (::renameat(folder, temporary.c_str(), folder, place->name.c_str()) == 0) {
        ::fsync(folder);
        return true;
    }
    ::unlinkat(folder, temporary.c_str(), 0);
    return false;
#endif
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
