#include "platform/wine/WineProcesses.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"
#include "base/FolderFd.h"
#include "platform/posix/FolderTrust.h"
#include "platform/posix/ProcessTable.h"
#include "platform/wine/WinePrefix.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace pestrel::wine {
namespace {

// The longest a snapshot waits for a starting Windows program to map its file.
constexpr std::chrono::seconds kProgramStartWait{5};

constexpr std::array kLoaders = {"wine", "wine64", "wine-preloader", "wine64-preloader"};
constexpr std::array kServers = {"wineserver", "wineserver64"};
// Programs that Wine runs for itself from its Windows or System folder.
constexpr std::array kServices = {
    "services.exe", "winedevice.exe", "plugplay.exe", "explorer.exe", "rpcss.exe",
    "svchost.exe",  "start.exe",      "conhost.exe",  "wineboot.exe", "winemenubuilder.exe"};

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

template <std::size_t N>
bool IsOneOf(std::string_view name, const std::array<const char*, N>& names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* known) { return EqualsIgnoringAsciiCase(name, known); });
}

// The NUL-ended fields of a /proc record.
std::vector<std::string_view> Fields(std::string_view record) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < record.size()) {
        std::size_t end = record.find('\0', pos);
        if (end == std::string_view::npos)
            end = record.size();
        fields.push_back(record.substr(pos, end - pos));
        pos = end + 1;
    }
    return fields;
}

std::optional<std::string> Variable(std::string_view environment, std::string_view name) {
    for (std::string_view field : Fields(environment)) {
        if (field.size() > name.size() && field.starts_with(name) && field[name.size()] == '=')
            return std::string(field.substr(name.size() + 1));
    }
    return std::nullopt;
}

// Wine's own programs live in C:\windows or C:\windows\system32.
bool InWineFolder(std::string_view windowsPath) {
    const std::string_view folder =
        windowsPath.substr(0, windowsPath.size() - FileNameOf(windowsPath).size());
    return EqualsIgnoringAsciiCase(folder, "C:\\windows\\") ||
           EqualsIgnoringAsciiCase(folder, "C:\\windows\\system32\\");
}

std::optional<std::string> LinkTarget(const std::string& link) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof target)
        return std::nullopt;
    return std::string(target, static_cast<std::size_t>(length));
}

ProcFacts ReadFacts(std::uint32_t id, std::string exe) {
    const std::string folder = "/proc/" + std::to_string(id) + "/";
    ProcFacts facts;
    facts.id = id;
    facts.exe = std::move(exe);
    facts.comm = ReadFileBytes(folder + "comm").value_or("");
    if (!facts.comm.empty() && facts.comm.back() == '\n')
        facts.comm.pop_back();
    facts.commandLine = ReadFileBytes(folder + "cmdline").value_or("");
    facts.environment = ReadFileBytes(folder + "environ").value_or("");
    facts.cwd = LinkTarget(folder + "cwd").value_or("");
    return facts;
}

// Whether every user id of the process (real, effective, saved, file system) is `owner`.
bool RunsAs(std::uint32_t id, std::uint32_t owner) {
    const std::optional<std::string> status =
        ReadFileBytes("/proc/" + std::to_string(id) + "/status");
    const std::size_t at = status ? status->find("\nUid:") : std::string::npos;
    if (at == std::string::npos)
        return false;
    std::string_view ids(*status);
    ids = ids.substr(at + 5, ids.find('\n', at + 1) - (at + 5));
    int seen = 0;
    while (!ids.empty()) {
        const std::size_t start = ids.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            break;
        ids.remove_prefix(start);
        std::uint32_t uid = 0;
        const auto [end, error] = std::from_chars(ids.data(), ids.data() + ids.size(), uid);
        if (error != std::errc() || uid != owner)
            return false;
        ids.remove_prefix(static_cast<std::size_t>(end - ids.data()));
        ++seen;
    }
    return seen == 4;
}

// Whether the process's image is Wine as the system installed it: the file its path names, root's
// and writable by root alone, in a folder that only root can change, and the very file the
// process runs.
bool RunsInstalledWine(std::uint32_t id, const std::string& exe) {
    struct stat image;
    if (::stat(("/proc/" + std::to_string(id) + "/exe").c_str(), &image) != 0)
        return false;
    const auto parts = SplitFolderAndName(exe);
    if (!parts || OthersCanChange(parts->first))
        return false;
    const UniqueFd folder = OpenFolderWithoutLinks(parts->first);
    struct stat file;
    if (!folder || ::fstatat(folder.get(), parts->second.c_str(), &file, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    return S_ISREG(file.st_mode) && file.st_uid == 0 && (file.st_mode & (S_IWGRP | S_IWOTH)) == 0 &&
           file.st_dev == image.st_dev && file.st_ino == image.st_ino;
}

// The kernel's word, not the process's: it runs as the prefix's owner, and it runs Wine.
bool IsOwnersWine(const ProcFacts& facts, const WinePrefix& prefix) {
    const std::optional<std::uint32_t> owner = prefix.owner();
    return owner && RunsAs(facts.id, *owner) && RunsInstalledWine(facts.id, facts.exe);
}

// A mapping of /proc/ID/maps: "start-end perms offset major:minor inode   path".
struct Mapping {
    std::string_view range;
    FileIdentity identity;
    std::string_view path;
};

std::optional<Mapping> ParseMapping(std::string_view line) {
    std::array<std::string_view, 5> fields;
    for (std::string_view& field : fields) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return std::nullopt;
        field = line.substr(0, space);
        line.remove_prefix(space + 1);
    }
    const std::size_t colon = fields[3].find(':');
    unsigned major = 0, minor = 0;
    std::uint64_t inode = 0;
    const std::string_view device = fields[3];
    if (colon == std::string_view::npos ||
        std::from_chars(device.data(), device.data() + colon, major, 16).ec != std::errc() ||
        std::from_chars(device.data() + colon + 1, device.data() + device.size(), minor, 16).ec !=
            std::errc() ||
        std::from_chars(fields[4].data(), fields[4].data() + fields[4].size(), inode).ec !=
            std::errc())
        return std::nullopt;
    const std::size_t path = line.find_first_not_of(' ');
    return Mapping{fields[0],
                   {::makedev(major, minor), inode},
                   path == std::string_view::npos ? std::string_view() : line.substr(path)};
}

struct MappedFile {
    std::string path;
    FileIdentity identity;
};

// The file mapped into the process whose name is `name` (ignoring ASCII case), as the kernel
// knows it: the target and identity of its /proc/ID/map_files link where that can be read (it
// takes root), else the path, device and inode /proc/ID/maps shows.
std::optional<MappedFile> MappedFileNamed(std::uint32_t id, const std::string& maps,
                                          std::string_view name) {
    const std::string folder = "/proc/" + std::to_string(id) + "/";
    for (std::string_view line : SplitLines(maps)) {
        const std::optional<Mapping> mapping = ParseMapping(line);
        if (!mapping || !mapping->path.starts_with('/') ||
            !EqualsIgnoringAsciiCase(FileNameOf(mapping->path), name))
            continue;
        const std::string link = folder + "map_files/" + std::string(mapping->range);
        struct stat file;
        const std::optional<std::string> target = LinkTarget(link);
        if (target && ::stat(link.c_str(), &file) == 0)
            return MappedFile{*target, {file.st_dev, file.st_ino}};
        return MappedFile{std::string(mapping->path), mapping->identity};
    }
    return std::nullopt;
}

// How long ago process `id` started; nothing when it is gone.
std::optional<std::chrono::duration<double>> Age(std::uint32_t id) {
    const std::uint64_t started = ProcessStartTime(id);
    const std::string uptime = ReadFileBytes("/proc/uptime").value_or("");
    if (started == 0 || uptime.empty())
        return std::nullopt;
    const double ticks = static_cast<double>(::sysconf(_SC_CLK_TCK));
    return std::chrono::duration<double>(std::strtod(uptime.c_str(), nullptr) -
                                         static_cast<double>(started) / ticks);
}

// The file of a Windows program's name mapped into its process. Wine maps it before it loads
// kernel32.dll; a program that has neither and started less than kProgramStartWait ago is still
// starting, and is waited for until it is that old, so that a program started a moment before it
// is asked after is seen with its file.
std::optional<MappedFile> MappedProgram(std::uint32_t id, std::string_view name) {
    using namespace std::chrono_literals;
    const std::string mapsFile = "/proc/" + std::to_string(id) + "/maps";
    using Seconds = std::chrono::duration<double>;
    const Seconds left =
        std::max(Seconds(kProgramStartWait) - Age(id).value_or(kProgramStartWait), Seconds(0));
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(left);
    for (;;) {
        const std::optional<std::string> maps = ReadFileBytes(mapsFile);
        if (!maps)
            return std::nullopt;
        if (std::optional<MappedFile> mapped = MappedFileNamed(id, *maps, name))
            return mapped;
        if (MappedFileNamed(id, *maps, "kernel32.dll") ||
            std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(2ms);
    }
}

// Recognised processes of `prefix` with their facts, ascending by id. With `startTimes`, the
// record passed along holds the process's start time, read before its facts so that all they
// tell is of that process.
template <typename Visit>
void ForEachOfPrefix(const WinePrefix& prefix, bool startTimes, Visit visit) {
    const char* home = std::getenv("HOME");
    const std::string ownHome = home ? home : "";
    for (ProcessRecord& record : ReadProcessTable(SnapshotDetail::WithPaths)) {
        if (!record.exePath)
            continue;
        const std::string_view file = FileNameOf(*record.exePath);
        if (!IsOneOf(file, kLoaders) && !IsOneOf(file, kServers))
            continue;
        if (startTimes)
            record.startTime = ProcessStartTime(record.id);
        const ProcFacts facts = ReadFacts(record.id, std::move(*record.exePath));
        const WineProcess process = RecognizeProcess(facts, ownHome);
        if (process.role != WineRole::Other && BelongsTo(facts, process, prefix) &&
            IsOwnersWine(facts, prefix))
            visit(facts, process, record);
    }
}

} // namespace

WineProcess RecognizeProcess(const ProcFacts& facts, const std::string& home) {
    WineProcess process;
    const std::string_view program = FileNameOf(facts.exe);
    const bool server = IsOneOf(program, kServers);
    if (!server && !IsOneOf(program, kLoaders))
        return process;
    if (std::optional<std::string> prefix = Variable(facts.environment, "WINEPREFIX"))
        process.prefix = std::move(*prefix);
    else
        process.prefix = Variable(facts.environment, "HOME").value_or(home) + "/.wine";
    if (!process.prefix.empty() && process.prefix[0] != '/' && !facts.cwd.empty())
        process.prefix = facts.cwd + "/" + process.prefix;
    if (server) {
        process.role = WineRole::Server;
        return process;
    }
    // While the loader starts, it runs itself again through its preloader, and the loaders may
    // still come first: the loader, the preloader and the loader again.
    std::vector<std::string_view> arguments = Fields(facts.commandLine);
    const auto first = std::find_if(arguments.begin(), arguments.end(), [](std::string_view a) {
        return !IsOneOf(FileNameOf(a), kLoaders);
    });
    arguments.erase(arguments.begin(), first);
    if (!arguments.empty() && !arguments.front().empty())
        process.windowsPath = arguments.front();
    process.name = process.windowsPath.empty() ? facts.comm : FileNameOf(process.windowsPath);
    if (process.name.empty())
        return process;
    process.role = IsOneOf(process.name, kServices) && InWineFolder(process.windowsPath)
                       ? WineRole::Service
                       : WineRole::Program;
    return process;
}

bool BelongsTo(const ProcFacts& facts, const WineProcess& process, const WinePrefix& prefix) {
    if (process.role == WineRole::Server && !facts.cwd.empty())
        return FileNameOf(facts.cwd) == prefix.serverFolderName();
    return prefix.isSameFolder(process.prefix);
}

std::vector<ProcessRecord> ReadPrefixProcesses(const WinePrefix& prefix, SnapshotDetail detail) {
    std::vector<ProcessRecord> records;
    ForEachOfPrefix(
        prefix, detail == SnapshotDetail::ForEnding,
        [&](const ProcFacts& facts, const WineProcess& process, const ProcessRecord& table) {
            if (process.role != WineRole::Program)
                return;
            ProcessRecord record;
            record.id = facts.id;
            // The start time keeps the record to this process. Its program file is the one
            // mapped into it under its name, never the path its arguments claim; without one,
            // no file is the program's.
            record.startTime = table.startTime;
            record.exeFile = process.name;
            if (detail != SnapshotDetail::Names) {
                if (std::optional<MappedFile> mapped = MappedProgram(facts.id, process.name)) {
                    record.exePath = std::move(mapped->path);
                    record.image = mapped->identity;
                }
            }
            records.push_back(std::move(record));
        });
    return records;
}

bool ServerRuns(const WinePrefix& prefix) {
    // The running server holds a lock on its lock file; without a lock file to ask, the
    // processes tell.
    // The paths are the prefix owner's to choose: only a regular file of the owner's is asked,
    // opened so that neither a link, a pipe nor a device does anything.
    bool lockFound = false;
    for (const std::string& file : prefix.serverLockFiles()) {
        const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        const std::optional<struct stat> info = fd ? StatOf(fd.get()) : std::nullopt;
        if (!info || !S_ISREG(info->st_mode) || info->st_uid != prefix.owner())
            continue;
        lockFound = true;
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (::fcntl(fd.get(), F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK)
            return true;
    }
    if (lockFound)
        return false;
    bool runs = false;
    ForEachOfPrefix(prefix, false,
                    [&](const ProcFacts&, const WineProcess& process, const ProcessRecord&) {
                        runs = runs || process.role == WineRole::Server;
                    });
    return runs;
}

bool EndPrefixProcess(const WinePrefix& prefix, const ProcessRecord& record) {
    const std::uint32_t id = record.id;
    const std::optional<std::string> exe = LinkTarget("/proc/" + std::to_string(id) + "/exe");
    if (!exe)
        return false;
    const ProcFacts facts = ReadFacts(id, *exe);
    const char* home = std::getenv("HOME");
    const WineProcess process = RecognizeProcess(facts, home ? home : "");
    // Another program of the prefix may have the id by now; the record's start time, which
    // EndProcess holds to, tells the rest.
    if (process.role != WineRole::Program || !BelongsTo(facts, process, prefix) ||
        !IsOwnersWine(facts, prefix) || !EqualsIgnoringAsciiCase(process.name, record.exeFile))
        return false;
    // The record's image is the Windows program's file; the process runs Wine, as just checked.
    ProcessRecord running = record;
    running.image.reset();
    return EndProcess(running);
}

} // namespace pestrel::wine
