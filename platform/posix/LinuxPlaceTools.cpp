#include "platform/posix/LinuxPlaceTools.h"

#include "platform/posix/ChildProgram.h"
#include "platform/posix/PosixHeldFolder.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel {
namespace {

constexpr const char* kPath = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
constexpr const char* kCrontabs = "/var/spool/cron/crontabs";

struct Account {
    PlaceUser user;
    gid_t group = 0;
};

std::optional<Account> AccountOf(const passwd& entry) {
    if (!entry.pw_name || !entry.pw_dir || !IsPlainName(entry.pw_name) || entry.pw_name[0] == '-')
        return std::nullopt;
    return Account{{entry.pw_name, entry.pw_uid, entry.pw_dir}, entry.pw_gid};
}

std::optional<Account> AccountNamed(const std::string& name) {
    passwd entry, *found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::nullopt;
    return AccountOf(entry);
}

// A user name the tools may be given: a plain name that no option parser takes for an option.
bool IsUserName(const std::string& user) {
    return IsPlainName(user) && user.front() != '-';
}

std::optional<ChildIdentity> IdentityOf(const Account& account) {
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(account.user.name.c_str(), account.group, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(account.user.name.c_str(), account.group, groups.data(), &count) < 0)
            return std::nullopt;
    }
    groups.resize(static_cast<std::size_t>(count));
    return ChildIdentity{account.user.id, account.group, std::move(groups)};
}

bool IsEntryOfType(const std::string& path, mode_t type) {
    const auto split = SplitFolderAndName(path);
    const UniqueFd folder = split ? OpenFolderWithoutLinks(split->first) : UniqueFd();
    struct stat info;
    return folder &&
           ::fstatat(folder.get(), split->second.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           (info.st_mode & S_IFMT) == type;
}

std::vector<std::string> CrontabArguments(const std::string& user) {
    return ::geteuid() == 0 ? std::vector<std::string>{"-u", user} : std::vector<std::string>{};
}

} // namespace

LinuxPlaces ReadLinuxPlaces() {
    LinuxPlaces places;
    std::vector<char> buffer(16384);
    passwd entry, *found = nullptr;
    if (::geteuid() != 0) {
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
            if (const std::optional<Account> account = AccountOf(entry))
                places.users.push_back(account->user);
        return places;
    }
    places.machine = true;
    ::setpwent();
    while (::getpwent_r(&entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        if (const std::optional<Account> account = AccountOf(entry))
            places.users.push_back(account->user);
    }
    ::endpwent();
    return places;
}

std::optional<std::string> ReadUserCrontab(const std::string& user) {
    const std::optional<std::string> crontab = SystemProgram("crontab");
    if (!crontab || !IsUserName(user))
        return std::nullopt;
    // Root reads cron's own folder; a user without an entry there has no crontab.
    const std::unique_ptr<PosixHeldFolder> kept =
        ::geteuid() == 0 ? PosixHeldFolder::Open(kCrontabs) : nullptr;
    if (kept && !kept->fileIdentity(user))
        return std::string();
    std::vector<std::string> arguments = CrontabArguments(user);
    arguments.push_back("-l");
    const std::optional<ChildOutcome> run =
        RunChild(*crontab, arguments, "", {kPath, "LC_ALL=C"}, std::nullopt);
    if (run && run->status == 0)
        return run->output;
    // Without cron's folder to look in, a failure is how crontab says there is none.
    return run && !kept && run->status > 0 ? std::optional<std::string>("") : std::nullopt;
}

bool WriteUserCrontab(const std::string& user, const std::string& text) {
    const std::optional<std::string> crontab = SystemProgram("crontab");
    if (!crontab || !IsUserName(user))
        return false;
    std::vector<std::string> arguments = CrontabArguments(user);
    arguments.push_back("-");
    const std::optional<ChildOutcome> run =
        RunChild(*crontab, arguments, text, {kPath, "LC_ALL=C"}, std::nullopt);
    return run && run->status == 0;
}

bool RunSystemctl(const std::string& user, const std::vector<std::string>& arguments) {
    const std::optional<std::string> systemctl = SystemProgram("systemctl");
    if (!systemctl)
        return false;
    if (user.empty()) {
        if (::geteuid() != 0 || !IsEntryOfType("/run/systemd/system", S_IFDIR))
            return false;
        const std::optional<ChildOutcome> run =
            RunChild(*systemctl, arguments, "", {kPath, "LC_ALL=C"}, std::nullopt);
        return run && run->status == 0;
    }
    const std::optional<Account> account = IsUserName(user) ? AccountNamed(user) : std::nullopt;
    if (!account || (::geteuid() != 0 && account->user.id != ::getuid()))
        return false;
    const std::string runtime = "/run/user/" + std::to_string(account->user.id);
    if (!IsEntryOfType(runtime + "/bus", S_IFSOCK))
        return false;
    const std::optional<ChildIdentity> identity =
        ::geteuid() == 0 ? IdentityOf(*account) : std::nullopt;
    if (::geteuid() == 0 && !identity)
        return false;
    std::vector<std::string> userArguments{"--user"};
    userArguments.insert(userArguments.end(), arguments.begin(), arguments.end());
    const std::optional<ChildOutcome> run =
        RunChild(*systemctl, userArguments, "",
                 {kPath, "LC_ALL=C", "HOME=" + account->user.home, "XDG_RUNTIME_DIR=" + runtime,
                  "DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime + "/bus"},
                 identity);
    return run && run->status == 0;
}

} // namespace pestrel
