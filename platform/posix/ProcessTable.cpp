#include "platform/posix/ProcessTable.h"

#include "base/FileBytes.h"
#include "base/FolderFd.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace pestrel {
namespace {

constexpr std::string_view kDeletedMark = " (deleted)";

// A pidfd: it names one process for as long as it is open, whatever takes its id later.
class PidFd {
public:
    explicit PidFd(int fd) : fd_(fd) {}
    ~PidFd() { ::close(fd_); }
    PidFd(const PidFd&) = delete;
    PidFd& operator=(const PidFd&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::optional<PidFd> OpenPidFd(std::uint32_t id) {
    const long fd = ::syscall(SYS_pidfd_open, static_cast<pid_t>(id), 0);
    if (fd < 0)
        return std::nullopt;
    return std::optional<PidFd>(std::in_place, static_cast<int>(fd));
}

// The process id a /proc entry names, or nothing for the other entries.
std::optional<std::uint32_t> ProcessIdOf(std::string_view name) {
    std::uint32_t id = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), id);
    if (error != std::errc() || end != name.data() + name.size() || id == 0)
        return std::nullopt;
    return id;
}

std::vector<std::uint32_t> ProcessIds(DIR* proc) {
    std::vector<std::uint32_t> ids;
    while (const dirent* entry = ::readdir(proc)) {
        if (const std::optional<std::uint32_t> id = ProcessIdOf(entry->d_name))
            ids.push_back(*id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Whether the file at `path`, reached without following a link, is the file process `id` runs.
bool IsImageOf(int procFd, std::uint32_t id, const std::string& path) {
    const auto split = SplitFolderAndName(path);
    const UniqueFd folder = split ? OpenFolderWithoutLinks(split->first) : UniqueFd();
    struct stat file, image;
    const std::string link = std::to_string(id) + "/exe";
    return folder &&
           ::fstatat(folder.get(), split->second.c_str(), &file, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstatat(procFd, link.c_str(), &image, 0) == 0 && file.st_dev == image.st_dev &&
           file.st_ino == image.st_ino;
}

// The program link's target, read into `target`, errno set when it cannot be read. The link is
// read relative to the open /proc folder, which spares the kernel a path walk per process.
std::optional<std::string_view> ProgramLinkInto(int procFd, std::uint32_t id,
                                                std::array<char, PATH_MAX>& target) {
    char link[32];
    std::snprintf(link, sizeof link, "%u/exe", static_cast<unsigned>(id));
    const ssize_t length = ::readlinkat(procFd, link, target.data(), target.size());
    if (length < 0)
        return std::nullopt;
    if (static_cast<std::size_t>(length) >= target.size()) {
        errno = ENAMETOOLONG;
        return std::nullopt;
    }
    std::string_view path(target.data(), static_cast<std::size_t>(length));
    // The kernel marks a program whose file was deleted; the mark is not part of its name,
    // unless the file of exactly that name is the program itself.
    if (path.ends_with(kDeletedMark) && !IsImageOf(procFd, id, std::string(path)))
        path.remove_suffix(kDeletedMark.size());
    return path;
}

// State letter of /proc/ID/stat, or nothing when the process is gone.
std::optional<char> ProcessState(std::uint32_t id) {
    const std::optional<std::string> stat = ReadFileBytes("/proc/" + std::to_string(id) + "/stat");
    if (!stat)
        return std::nullopt;
    const std::size_t close = stat->rfind(')');
    if (close == std::string::npos || close + 2 >= stat->size())
        return std::nullopt;
    return (*stat)[close + 2];
}

bool HasEnded(std::uint32_t id) {
    const std::optional<char> state = ProcessState(id);
    return !state || *state == 'Z' || *state == 'X';
}

// Field 22 of /proc/ID/stat.
std::uint64_t StartTime(std::uint32_t id) {
    const std::optional<std::string> stat = ReadFileBytes("/proc/" + std::to_string(id) + "/stat");
    const std::size_t close = stat ? stat->rfind(')') : std::string::npos;
    if (close == std::string::npos)
        return 0;
    std::size_t at = close + 1;
    for (int field = 3; field < 22 && at != std::string::npos; ++field)
        at = stat->find(' ', at + 1);
    return at == std::string::npos ? 0 : std::strtoull(stat->c_str() + at + 1, nullptr, 10);
}

// The identity of the file process `id` runs, through /proc relative to `procFd`.
std::optional<FileIdentity> ImageOf(int procFd, std::uint32_t id) {
    const std::string link = (procFd == AT_FDCWD ? "/proc/" : "") + std::to_string(id) + "/exe";
    struct stat image;
    if (::fstatat(procFd, link.c_str(), &image, 0) != 0)
        return std::nullopt;
    return FileIdentity{image.st_dev, image.st_ino};
}

bool SignalThrough(int pidfd, int signal) {
    return ::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0) == 0;
}

// A pidfd becomes readable when its process has ended.
bool EndedWithin(int pidfd, int milliseconds) {
    pollfd wait{pidfd, POLLIN, 0};
    int ready = 0;
    while ((ready = ::poll(&wait, 1, milliseconds)) < 0 && errno == EINTR) {
    }
    return ready > 0;
}

bool EndThrough(int pidfd) {
    if (!SignalThrough(pidfd, SIGTERM))
        return false;
    return EndedWithin(pidfd, 200) || SignalThrough(pidfd, SIGKILL) || errno == ESRCH;
}

} // namespace

std::optional<std::string> ProgramPathOf(int procFd, std::uint32_t id) {
    std::array<char, PATH_MAX> target;
    const std::optional<std::string_view> path = ProgramLinkInto(procFd, id, target);
    return path ? std::optional<std::string>(*path) : std::nullopt;
}

std::uint64_t ProcessStartTime(std::uint32_t id) {
    return StartTime(id);
}

std::vector<ProcessRecord> ReadProcessTable(SnapshotDetail detail) {
    std::vector<ProcessRecord> records;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return records;
    const std::vector<std::uint32_t> ids = ProcessIds(proc);
    records.reserve(ids.size());
    for (std::uint32_t id : ids) {
        ProcessRecord record;
        record.id = id;
        const bool forEnding = detail == SnapshotDetail::ForEnding;
        // Read before the program, so that a process that took the id meanwhile does not pass
        // for the one whose program is recorded.
        if (forEnding)
            record.startTime = StartTime(id);
        if (std::optional<std::string> path = ProgramPathOf(::dirfd(proc), id)) {
            record.exeFile = path->substr(path->rfind('/') + 1);
            if (detail != SnapshotDetail::Names)
                record.exePath = std::move(*path);
            if (forEnding)
                record.image = ImageOf(::dirfd(proc), id);
        } else if (errno != ENOENT && errno != ESRCH) {
            std::string comm =
                ReadFileBytes("/proc/" + std::to_string(id) + "/comm").value_or(std::string());
            if (!comm.empty() && comm.back() == '\n')
                comm.pop_back();
            record.exeFile = std::move(comm);
        } else {
            continue; // a kernel thread, ended, or gone since the listing
        }
        records.push_back(std::move(record));
    }
    ::closedir(proc);
    return records;
}

bool AnyProgramPath(const std::function<bool(std::string_view)>& matches) {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    std::array<char, PATH_MAX> target;
    bool found = false;
    while (!found) {
        const dirent* entry = ::readdir(proc);
        if (!entry)
            break;
        const std::optional<std::uint32_t> id = ProcessIdOf(entry->d_name);
        const std::optional<std::string_view> path =
            id ? ProgramLinkInto(::dirfd(proc), *id, target) : std::nullopt;
        found = path && matches(*path);
    }
    ::closedir(proc);
    return found;
}

std::vector<std::pair<std::uint32_t, std::string>> ReadProgramPaths() {
    std::vector<std::pair<std::uint32_t, std::string>> paths;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return paths;
    for (std::uint32_t id : ProcessIds(proc)) {
        if (std::optional<std::string> path = ProgramPathOf(::dirfd(proc), id))
            paths.emplace_back(id, std::move(*path));
    }
    ::closedir(proc);
    return paths;
}

bool EndProcess(const ProcessRecord& process) {
    const std::uint32_t id = process.id;
    if (id == 0 || id > static_cast<std::uint32_t>(INT_MAX))
        return false;
    // The pidfd names whoever has the id now; the start time and image read after it tell whether
    // that is still the recorded process, and it then stays reachable as that very process.
    const std::optional<PidFd> now = OpenPidFd(id);
    if (process.startTime != 0 && StartTime(id) != process.startTime)
        return false;
    if (const std::optional<FileIdentity> image = ImageOf(AT_FDCWD, id);
        process.image && image && *image != *process.image)
        return false;
    if (now)
        return EndThrough(now->fd());
    const pid_t pid = static_cast<pid_t>(id);
    if (::kill(pid, SIGTERM) != 0)
        return false;
    using namespace std::chrono_literals;
    for (int wait = 0; wait < 40; ++wait) {
        if (HasEnded(id))
            return true;
        std::this_thread::sleep_for(5ms);
    }
    return ::kill(pid, SIGKILL) == 0 || errno == ESRCH;
}

} // namespace pestrel
