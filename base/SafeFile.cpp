#include "base/SafeFile.h"

#include "base/FileBytes.h"

#ifdef _WIN32
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

std::optional<NameInFolderFd> HoldFolderOf(const std::string& path) {
    const auto split = SplitFolderAndName(path);
    if (!split)
        return std::nullopt;
    UniqueFd folder = OpenFolderWithoutLinks(split->first);
    if (!folder)
        return std::nullopt;
    return NameInFolderFd{std::move(folder), split->second};
}

bool StatWithoutLinks(const std::string& path, struct stat& info) {
    const std::optional<NameInFolderFd> place = HoldFolderOf(path);
    return place &&
           ::fstatat(place->folder.get(), place->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

std::optional<unsigned> PermissionsOf(int folder, const std::string& name) {
    struct stat info;
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // Only the permission bits: never setuid, setgid or sticky.
    return info.st_mode & 0777;
}

std::optional<std::string> ReadRegularFileIn(int folder, const std::string& name,
                                             std::size_t maxBytes) {
    const UniqueFd fd(
        ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return std::nullopt;
    std::optional<std::string> bytes;
    struct stat info;
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) <= maxBytes) {
        bytes.emplace();
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
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
    return bytes;
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    const std::optional<NameInFolderFd> place = HoldFolderOf(path);
    if (!place)
        return std::nullopt;
    return ReadRegularFileIn(place->folder.get(), place->name, maxBytes);
}

bool WriteNewFileIn(int folder, const std::string& name, const std::string& bytes,
                    std::optional<unsigned> mode) {
    const UniqueFd fd(::openat(folder, name.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                               mode.value_or(NewFileMode())));
    if (!fd)
        return false;
    // The umask has cut the bits at creation; a rewritten file keeps all of its own.
    if ((!mode || ::fchmod(fd.get(), *mode) == 0) && WriteAll(fd.get(), bytes) &&
        ::fsync(fd.get()) == 0)
        return true;
    ::unlinkat(folder, name.c_str(), 0);
    return false;
}

bool ReplaceFileIn(int folder, const std::string& name, const std::string& bytes) {
    if (!IsPlainName(name))
        return false;
    const std::string temporary = name + ".~" + UniqueTemporaryPart() + ".tmp";
    // The bytes reach the disk before the name points at them, so that a power loss leaves the
    // old file or the new one, never an empty one.
    if (!WriteNewFileIn(folder, temporary, bytes, PermissionsOf(folder, name)))
        return false;
    if (::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0) {
        ::fsync(folder);
        return true;
    }
    ::unlinkat(folder, temporary.c_str(), 0);
    return false;
}

bool AppendToFileIn(int folder, const std::string& name, const std::string& bytes) {
    if (!IsPlainName(name))
        return false;
    const UniqueFd fd(::openat(folder, name.c_str(),
                               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                               NewFileMode()));
    return fd && IsRegular(fd.get()) && WriteAll(fd.get(), bytes);
}

#endif

} // namespace pestrel
