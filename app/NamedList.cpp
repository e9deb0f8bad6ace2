#include "app/NamedList.h"

#include "base/FileBytes.h"

#include <filesystem>

#ifndef _WIN32
#include "base/FolderFd.h"
#include "base/SafeFile.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>
#endif

namespace pestrel {
namespace {

// The list read through every link of the path, with the rights in force.
ListFile ReadThroughLinks(const std::string& path) {
    std::error_code unresolved;
    const std::filesystem::path target = std::filesystem::canonical(path, unresolved);
    return ParseListFile(ReadFileBytes(unresolved ? path : target.string()));
}

#ifndef _WIN32

std::optional<unsigned> IdFromEnvironment(const char* name) {
    const char* text = std::getenv(name);
    if (!text || !*text)
        return std::nullopt;
    const std::string_view digits(text);
    unsigned id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return id;
}

// The groups of `user`, whose primary group is `group`.
std::vector<gid_t> GroupsOf(uid_t user, gid_t group) {
    const passwd* entry = ::getpwuid(user);
    if (!entry)
        return {group};
    // Too small a buffer is answered with the count it takes.
    int count = 16;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(entry->pw_name, group, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(std::max(count, 1)));
        if (::getgrouplist(entry->pw_name, group, groups.data(), &count) < 0)
            return {group};
    }
    groups.resize(static_cast<std::size_t>(count));
    return groups;
}

std::vector<gid_t> CurrentGroups() {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(std::max(::getgroups(groups.size(), groups.data()), 0)));
    return groups;
}

// While it lives, the calling thread's file-system ids and groups are those of the user who ran
// sudo; the other threads keep root's. The raw setgroups call changes this thread's groups
// only, where the C library's would change every thread's.
class SudoUserRights {
public:
    SudoUserRights(uid_t user, gid_t group) : rootGroups_(CurrentGroups()) {
        const std::vector<gid_t> groups = GroupsOf(user, group);
        if (::syscall(SYS_setgroups, groups.size(), groups.data()) != 0)
            return;
        switched_ = true;
        ::setfsgid(group);
        ::setfsuid(user);
        // Both calls answer with the id in force before them: asking again tells whether the
        // change held.
        held_ = static_cast<gid_t>(::setfsgid(group)) == group &&
                static_cast<uid_t>(::setfsuid(user)) == user;
    }
    ~SudoUserRights() {
        if (!switched_)
            return;
        ::setfsuid(0);
        ::setfsgid(0);
        ::syscall(SYS_setgroups, rootGroups_.size(), rootGroups_.data());
    }
    SudoUserRights(const SudoUserRights&) = delete;
    SudoUserRights& operator=(const SudoUserRights&) = delete;

    bool held() const { return held_; }

private:
    std::vector<gid_t> rootGroups_;
    bool switched_ = false;
    bool held_ = false;
};

// The list read as root, only when no step of the path is a link: the folder is held open
// without following any, and the file is opened in it without following one.
ListFile ReadWithoutLinks(const std::string& path) {
    const auto parts = SplitFolderAndName(path);
    const UniqueFd folder = parts ? OpenFolderWithoutLinks(parts->first) : UniqueFd();
    if (!folder)
        return ParseListFile(std::nullopt);
    return ParseListFile(ReadRegularFileIn(folder.get(), parts->second));
}

#endif

} // namespace

ListFile ReadNamedList(const std::string& path) {
#ifdef _WIN32
    return ReadThroughLinks(path);
#else
    if (::geteuid() != 0)
        return ReadThroughLinks(path);
    const std::optional<unsigned> user = IdFromEnvironment("SUDO_UID");
    const std::optional<unsigned> group = IdFromEnvironment("SUDO_GID");
    if (user && group && *user != 0) {
        const SudoUserRights rights(*user, *group);
        if (rights.held()) {
            ListFile list = ReadThroughLinks(path);
            if (list.status != ListFile::Status::Unreadable)
                return list;
        }
    }
    return ReadWithoutLinks(path);
#endif
}

} // namespace pestrel
