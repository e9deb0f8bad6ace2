#include "base/FileBytes.h"

#include <atomic>
#include <cstdio>
#include <random>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
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

// Pushes what the system holds of an open file to the disk.
bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

enum class Durability { Cached, OnDisk };

bool WriteWhole(const std::string& path, const char* mode, const std::string& bytes,
                Durability durability) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                         (durability == Durability::Cached || FlushToDisk(file));
    const bool closed = std::fclose(file) == 0;
    return written && closed;
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
    // The bytes reach the disk before the name points at them, so that a power loss leaves the
    // old file or the new one, never an empty one.
    if (WriteWhole(temporary, "wb", bytes, Durability::OnDisk) && RenameOver(temporary, path)) {
        FlushFolderOf(path);
        return true;
    }
    std::remove(temporary.c_str());
    return false;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
    return WriteWhole(path, "ab", bytes, Durability::Cached);
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
