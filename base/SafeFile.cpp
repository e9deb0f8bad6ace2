#include "base/SafeFile.h"

#ifdef _WIN32
#include <algorithm>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pestrel {

#ifdef _WIN32
namespace {

// Opens without following a reparse point (a link or a junction) at the end of the path, and
// refuses one that is there, a folder, or anything but a file on disk.
HANDLE OpenPlainFile(const std::string& path, DWORD access, DWORD disposition) {
    HANDLE file =
        CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

} // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    HANDLE file = OpenPlainFile(path, GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buffer[16384];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) {
        if (bytes.size() + got > maxBytes) {
            ok = false;
            break;
        }
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return bytes;
}

bool WriteNewFile(const std::string& path, const std::string& bytes, const std::string&) {
    HANDLE file = OpenPlainFile(path, GENERIC_WRITE, CREATE_NEW);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    CloseHandle(file);
    if (!written)
        DeleteFileA(path.c_str());
    return written;
}

bool AppendToRegularFile(const std::string& path, const std::string& bytes) {
    HANDLE file = OpenPlainFile(path, FILE_APPEND_DATA, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = WriteAll(file, bytes);
    return CloseHandle(file) && written;
}

#else
namespace {

// A file the program creates: private when it runs as the administrator, so that what it
// records is not handed to every user; otherwise as the user's umask says.
mode_t NewFileMode() {
    return ::geteuid() == 0 ? 0600 : 0666;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool IsRegular(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> bytes;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) <= maxBytes) {
        bytes.emplace();
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            // The size is counted while reading: files of /proc report none beforehand.
            if (got < 0 || bytes->size() + static_cast<std::size_t>(got) > maxBytes) {
                bytes.reset();
                break;
            }
            if (got == 0)
                break;
            bytes->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
}

bool WriteNewFile(const std::string& path, const std::string& bytes, const std::string& modelPath) {
    struct stat model;
    const bool keepMode = ::lstat(modelPath.c_str(), &model) == 0 && S_ISREG(model.st_mode);
    // Only the permission bits are kept: never setuid, setgid or sticky.
    const mode_t mode = keepMode ? (model.st_mode & 0777) : NewFileMode();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    // The umask has cut the bits at creation; a rewritten file keeps all of its own.
    const bool written =
        (!keepMode || ::fchmod(fd, mode) == 0) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}

bool AppendToRegularFile(const std::string& path, const std::string& bytes) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
               NewFileMode());
    if (fd < 0)
        return false;
    const bool written = IsRegular(fd) && WriteAll(fd, bytes);
    return ::close(fd) == 0 && written;
}
#endif

} // namespace pestrel
