#include "base/FolderFd.h"

#ifndef _WIN32

#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pestrel {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// -1 with errno ENOSYS where the kernel has no openat2.
int OpenAt2(const std::string& path) {
    open_how how{};
    how.flags = kFolderFlags | O_NOFOLLOW;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    return static_cast<int>(::syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how));
}

int OpenComponentWise(const std::string& path) {
    UniqueFd at(::open(path.starts_with('/') ? "/" : ".", kFolderFlags));
    std::size_t start = 0;
    while (at && start < path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".")
            continue;
        at = UniqueFd(::openat(at.get(), name.c_str(), kFolderFlags | O_NOFOLLOW));
    }
    if (!at)
        return -1;
    const int fd = ::dup(at.get());
    return fd;
}

// The primary group of `user`, unless that is root's group; else nobody's.
gid_t PrimaryGroup(uid_t user) {
    passwd entry;
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(user, &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_gid != 0)
        return found->pw_gid;
    return 65534;
}

// The owner's own group: the folder's unless that is root's group, then the owner's primary
// group, else nobody's.
gid_t OwnersGroup(const struct stat& folder) {
    return folder.st_gid != 0 ? folder.st_gid : PrimaryGroup(folder.st_uid);
}

} // namespace

UniqueFd::~UniqueFd() {
    if (fd_ >= 0)
        ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

UniqueFd OpenFolderWithoutLinks(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        errno = ENOENT;
        return UniqueFd();
    }
    static bool noOpenAt2 = false;
    if (!noOpenAt2) {
        const int fd = OpenAt2(path);
        if (fd >= 0 || errno != ENOSYS)
            return UniqueFd(fd);
        noOpenAt2 = true;
    }
    return UniqueFd(OpenComponentWise(path));
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

std::optional<std::pair<std::string, std::string>> SplitFolderAndName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!IsPlainName(name))
        return std::nullopt;
    return std::make_pair(std::move(folder), std::move(name));
}

std::optional<struct stat> StatOf(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return std::nullopt;
    return info;
}

OwnerRights::OwnerRights(int folderFd, std::optional<uid_t> user) {
    if (::geteuid() != 0)
        return;
    if (user) {
        if (*user != 0)
            switchTo(*user, PrimaryGroup(*user));
        return;
    }
    const std::optional<struct stat> folder = StatOf(folderFd);
    if (folder && folder->st_uid != 0)
        switchTo(folder->st_uid, OwnersGroup(*folder));
}

void OwnerRights::switchTo(uid_t user, gid_t group) {
    // Root's own groups must not lend their rights either. The raw call changes only this
    // thread's groups, where the C library's would change every thread's.
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        rootGroups_.resize(static_cast<std::size_t>(count));
        rootGroups_.resize(static_cast<std::size_t>(::getgroups(count, rootGroups_.data())));
    }
    if (::syscall(SYS_setgroups, 0, nullptr) != 0)
        return;
    // The group first: once the user id is not root's, the group could not be changed.
    ::setfsgid(group);
    ::setfsuid(user);
    switched_ = true;
}

OwnerRights::~OwnerRights() {
    if (!switched_)
        return;
    ::setfsuid(0);
    ::setfsgid(0);
    ::syscall(SYS_setgroups, rootGroups_.size(), rootGroups_.data());
}

} // namespace pestrel

#endif
