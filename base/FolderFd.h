#pragma once
// Folder descriptors on Linux: a descriptor that closes itself, and folders opened by it. A
// folder is opened once, without following a link at any step of its path, and every later step
// names files relative to that descriptor: whatever is put at the folder's path afterwards (a link,
// another folder) is never reached. Run as root, changes inside a folder that someone else owns are
// made with that owner's file-system ids, so that they reach no further than that user could.

#ifndef _WIN32

#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace pestrel {

// A descriptor that closes itself.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Opens the folder `path` (absolute, or relative to the working folder) without following a
// link at any step: openat2 with RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS, or, where the
// kernel lacks it, one component at a time with O_NOFOLLOW | O_DIRECTORY. An invalid
// descriptor, errno set, when any step is a link or not a folder.
UniqueFd OpenFolderWithoutLinks(const std::string& path);

// The folder part and the last name of `path`. Nothing when the last name is empty, "." or ".."
// (a path ending in a separator names no file).
std::optional<std::pair<std::string, std::string>> SplitFolderAndName(const std::string& path);

// Whether `name` is one name inside a folder: not empty, not "." or "..", no separator, no NUL.
bool IsPlainName(const std::string& name);

// The owner of the folder or file behind `fd`, or nothing when it cannot be read.
std::optional<struct stat> StatOf(int fd);

// While it lives, the calling thread's file-system ids are the owner's of the folder `folderFd`
// when the program runs as root and someone else owns that folder; otherwise nothing changes.
// Given a `user` (other than root), they are that user's instead, whoever owns the folder: the
// step is taken on that user's word and reaches no further than that user could. The ids are per
// thread on Linux, so other threads keep root's.
class OwnerRights {
public:
    explicit OwnerRights(int folderFd, std::optional<uid_t> user = std::nullopt);
    ~OwnerRights();
    OwnerRights(const OwnerRights&) = delete;
    OwnerRights& operator=(const OwnerRights&) = delete;

private:
    void switchTo(uid_t user, gid_t group);

    bool switched_ = false;
    std::vector<gid_t> rootGroups_;
};

} // namespace pestrel

#endif
