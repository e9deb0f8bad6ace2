#pragma once
// The operating-system calls the engine needs, and nothing more. Each backend wraps every call
// once and reports what happened; deciding what a failure means is the engine's job.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Registry roots, with the values Windows gives their predefined handles.
enum class RegRoot : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

// A value's kind, numbered as the window's registry routines number it.
enum RegValueKind { RegText = 0, RegInteger = 1 };

struct RegValue {
    RegValueKind kind = RegText;
    std::string text;         // RegText
    std::uint32_t number = 0; // RegInteger
    bool operator==(const RegValue&) const = default;
};

// File attribute bits as Windows numbers them.
namespace FileAttribute {
inline constexpr std::uint32_t ReadOnly = 0x1;
inline constexpr std::uint32_t Hidden = 0x2;
inline constexpr std::uint32_t System = 0x4;
// What a failed attribute read answers: every bit set.
inline constexpr std::uint32_t Invalid = 0xFFFFFFFFu;
} // namespace FileAttribute

// What a file is, whatever name it is reached by: its device and its number on that device.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Who owned a file and its permission bits, so that a file put back gets them again.
struct FileOwnership {
    std::uint32_t user = 0;
    std::uint32_t group = 0;
    std::uint32_t mode = 0; // permission bits only
    bool operator==(const FileOwnership&) const = default;
};

// What a file holds, by its size and its SHA-256 (64 lower-case hex digits).
struct FileDigest {
    std::uint64_t size = 0;
    std::string sha256;
    bool operator==(const FileDigest&) const = default;
};

// What a file is now: its identity, its size and when its content or attributes last changed
// (nanoseconds on Linux, 100-nanosecond ticks on Windows). A file whose stamp is unchanged holds
// what it held.
struct FileStamp {
    FileIdentity identity;
    std::uint64_t size = 0;
    std::int64_t changeTime = 0;
    bool operator==(const FileStamp&) const = default;
};

// The entries of a folder that a walk may go on with: its regular files and its folders, by
// name. Links, reparse points and anything else are left out.
struct FolderEntries {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

// The file system a folder lies on: its device, and whether it is one of the kernel's views
// (proc, sysfs, devtmpfs, cgroup and the like) whose files are no stored content.
struct FileSystemOf {
    std::uint64_t device = 0;
    bool pseudo = false;
};

// A read of a file's whole content, whatever its size.
inline constexpr std::uint64_t kAnySize = ~std::uint64_t{0};

// A file's bytes, mapped for reading while it lives.
class MappedFile {
public:
    virtual ~MappedFile() = default;
    virtual std::string_view bytes() const = 0;
    // Whether reading the bytes can fault: a mapping reaches past the end of a file that someone
    // shortens meanwhile. A copy in memory cannot.
    virtual bool mayFault() const { return true; }
};

// A folder opened once without following a link at any step of its path (nor a reparse point on
// Windows). Every call acts inside that very folder, whatever is put at its path afterwards, and
// run as the administrator, every change inside a folder that someone else owns is made with
// that owner's rights. A `name` is one file name inside the folder; any other is refused.
class HeldFolder {
public:
    virtual ~HeldFolder() = default;
    // The path it was opened by, ending in the separator; for messages and records only.
    virtual const std::string& path() const = 0;
    // The regular file `name`, never through a link: what it is, who owns it, what it holds.
    virtual std::optional<FileIdentity> fileIdentity(const std::string& name) = 0;
    virtual std::optional<FileOwnership> fileOwnership(const std::string& name) = 0;
    // Reads at most `maxBytes`: nothing when the file holds more.
    virtual std::optional<FileDigest> fileDigest(const std::string& name,
                                                 std::uint64_t maxBytes) = 0;
    std::optional<FileDigest> fileDigest(const std::string& name) {
        return fileDigest(name, kAnySize);
    }
    virtual std::optional<FileStamp> fileStamp(const std::string& name) = 0;
    // What the folder holds now; nothing when it cannot be read.
    virtual std::optional<FolderEntries> entries() = 0;
    // The file system the folder lies on; nothing when it cannot be told.
    virtual std::optional<FileSystemOf> fileSystem() = 0;
    // The regular file `name`, while it is `identity`, mapped for reading (a small one is read
    // into memory instead, so that a file shortened meanwhile cannot fault its reader).
    virtual std::unique_ptr<MappedFile> mapFile(const std::string& name,
                                                const FileIdentity& identity) = 0;
    // Deletes `name` only while it is the file `identity`, checked right before it goes.
    virtual bool deleteFile(const std::string& name, const FileIdentity& identity) = 0;
    // Copies the regular file `name`, while it is `identity`, into a new file of `to` readable by
    // its owner only, which then replaces `toName` there by a rename. Holes stay holes. False,
    // with nothing copied, when the copy would leave less than 5 % of `to`'s disk free.
    virtual bool copyFile(const std::string& name, const FileIdentity& identity, HeldFolder& to,
                          const std::string& toName) = 0;
    // Gives the file `name` a second name `toName` in `to` (the same disk), never over an
    // existing entry.
    virtual bool linkFile(const std::string& name, HeldFolder& to, const std::string& toName) = 0;
    // Creates `name` here as a copy of `from`'s file `fromName`, never over an existing entry,
    // with the permission bits of `ownership` and, where the rights allow, its owner.
    virtual bool restoreFile(HeldFolder& from, const std::string& fromName, const std::string& name,
                             const FileOwnership& ownership) = 0;
    // The folder `name` inside this one, held in turn; created private to its owner when
    // `create` is set and it is missing.
    virtual std::unique_ptr<HeldFolder> folder(const std::string& name, bool create) = 0;
    // The names of the folder's entries, whatever they are (files, folders, links), "." and ".."
    // left out; empty when it cannot be read. Each name is to be looked at through the calls
    // above, which never follow a link.
    virtual std::vector<std::string> entryNames() = 0;
    // Whether anything (a file, a folder, a link) has the name `name` here.
    virtual bool hasEntry(const std::string& name) = 0;

    // The bytes of the regular file `name`, never through a link; nothing when it cannot be read
    // or holds more than `maxBytes` (by default more than any working file holds: 64 MiB).
    virtual std::optional<std::string> readFile(const std::string& name,
                                                std::uint64_t maxBytes) = 0;
    std::optional<std::string> readFile(const std::string& name) {
        return readFile(name, std::uint64_t{64} << 20);
    }
    // Replaces the file `name` by a new one holding `bytes`, or creates it: the new file is
    // flushed to the disk before it is renamed over the old one, whose permission bits it keeps,
    // so that the old bytes or the new ones stay, never a part.
    virtual bool replaceFile(const std::string& name, const std::string& bytes) = 0;
    // Appends `bytes` to the regular file `name`, creating it when missing.
    virtual bool appendFile(const std::string& name, const std::string& bytes) = 0;
    // FileAttribute bits of the regular file `name`, or FileAttribute::Invalid when they cannot be
    // read.
    virtual std::uint32_t fileAttributes(const std::string& name) = 0;
    virtual bool setFileAttributes(const std::string& name, std::uint32_t attributes) = 0;
    // The profile file `name` (Config.ini, Log.ini): the value of `key` in `[section]`, or
    // `fallback` when the file, the section or the key is missing.
    virtual std::string readProfileString(const std::string& name, const std::string& section,
                                          const std::string& key, const std::string& fallback) = 0;
    // Creates or replaces `key` in `[section]`, creating the section and the file as needed.
    virtual bool writeProfileString(const std::string& name, const std::string& section,
                                    const std::string& key, const std::string& value) = 0;

    // Links, where the platform has them (none on Windows). The target of the link `name`, as
    // written, never followed; nothing when `name` is no link.
    virtual std::optional<std::string> linkTarget(const std::string&) { return std::nullopt; }
    // Deletes the link `name` only while it leads to `target`.
    virtual bool deleteLink(const std::string&, const std::string&) { return false; }
    // Creates the link `name` leading to `target`, never over an existing entry.
    virtual bool createLink(const std::string&, const std::string&) { return false; }

    // A user's word: from now on this folder, and every folder reached from it, opens, copies and
    // changes files with the file-system ids of `user` when the program runs as root, whoever
    // owns the folder, so that what a user named reaches no further than that user could. 0 is
    // the administrator's word and changes nothing; so does a platform that cannot act as
    // another user.
    virtual void actFor(std::uint32_t) {}
    // The user who owns the folder, where the platform tells.
    virtual std::optional<std::uint32_t> owner() { return std::nullopt; }
};

// One process of a snapshot.
struct ProcessRecord {
    std::uint32_t id = 0;
    // When the process started, in the platform's ticks; filled ForEnding where the platform can,
    // 0 when unknown. A process is only ended while its id still has this start time (and, where
    // the platform can tell, still runs `image`).
    std::uint64_t startTime = 0;
    // The program file as the platform reports it (a bare file name or a full path).
    std::string exeFile;
    // Full path of the program file; filled only by a snapshot taken WithPaths or ForEnding, and
    // absent where it cannot be read (access refused, a process that is exiting).
    std::optional<std::string> exePath;
    // The file the process was started from, whatever has been put at exePath since; filled
    // ForEnding where the platform can tell.
    std::optional<FileIdentity> image;
};

// A user whose own start-up places a pass reads on Linux.
struct PlaceUser {
    std::string name;
    std::uint32_t id = 0;
    std::string home; // as the password database names it
};

// Where Linux programs start from, as far as the platform reaches: the users' own places and,
// for the administrator, the machine's (/etc/xdg/autostart, /etc/systemd/system).
struct LinuxPlaces {
    std::vector<PlaceUser> users;
    bool machine = false;
};

// A registry key by its root and its path under it.
struct RegKeyPath {
    RegRoot root = RegRoot::LocalMachine;
    std::string key;
};

// What changed in watched places since the last look.
struct WatchedChanges {
    // A file that appeared in a watched folder (created, renamed into it, written): the folder as
    // it was given to the watch, and the file's name in it.
    struct Arrival {
        std::string folder;
        std::string name;
    };
    std::vector<Arrival> arrivals;
    // Changes were missed or could not be named: every watched folder is to be looked through.
    bool lostTrack = false;
    // Something changed in an autostart folder or under a start-up key.
    bool autostartChanged = false;
};

// Places watched for changes, told of by the system as they happen.
class ChangeWatch {
public:
    virtual ~ChangeWatch() = default;
    // Waits at most `milliseconds` for a change, and returns at the first one with everything
    // that changed since the last call; empty when nothing did.
    virtual WatchedChanges wait(std::uint32_t milliseconds) = 0;
};

// Names: id and program-file text. WithPaths: also the program path. ForEnding: also what ending
// the process and backing up its file safely take (the start time, the image); it
// costs more, so only snapshots whose records may be ended or backed up ask for it.
enum class SnapshotDetail { Names, WithPaths, ForEnding };

class Platform {
public:
    virtual ~Platform() = default;

    // --- folders -------------------------------------------------------------------------
    // The Windows folder and the System folder as the platform gives them (no trailing
    // separator is promised); empty when the platform gives none.
    virtual std::string windowsFolder() = 0;
    virtual std::string systemFolder() = 0;
    // Full path of the running program file.
    virtual std::string programFile() = 0;
    // The folder of the Wine prefix this platform acts in, absolute and lexically normal, with no
    // trailing separator; empty for the machine's own system. Each system keeps its own journal.
    virtual std::string winePrefixFolder() { return {}; }

    // --- processes -----------------------------------------------------------------------
    // Every running process in snapshot order; empty when no snapshot can be taken.
    virtual std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) = 0;
    // Whether a process runs whose program path, as a WithPaths snapshot taken now gives it,
    // satisfies `matches`; stops at the first. Every path `matches` accepts has `name` as its
    // file name or as its whole self, ASCII case aside: a platform that keeps its processes by
    // name looks only at those, one that can read less than a whole snapshot does. The answer is
    // for the processes as they run at the moment of the call.
    virtual bool anyProgramPath(std::string_view /*name*/,
                                const std::function<bool(std::string_view path)>& matches) {
        for (const ProcessRecord& record : processSnapshot(SnapshotDetail::WithPaths)) {
            if (record.exePath && matches(*record.exePath))
                return true;
        }
        return false;
    }
    // Asks whatever answers to `name` (a top-level window of that title on Windows) to close,
    // waiting a bounded time for it. Never waits without end.
    virtual void requestClose(const std::string& name) = 0;
    // Ends the process of a snapshot record with exit code 0 as surely as the platform allows,
    // within a bounded time; never a process that took its id later. False when the process
    // could not be opened or ended, or is gone.
    virtual bool terminateProcess(const ProcessRecord& process) = 0;

    // --- registry ------------------------------------------------------------------------
    // Key paths use '\' between keys; a leading '\' is ignored. Names compare without case.
    // Opens the key, creating it and its missing parents. False when the platform refuses.
    virtual bool createKey(RegRoot root, const std::string& key) = 0;
    // Writes a value, creating the key when missing. An empty name is the default value.
    virtual bool setValue(RegRoot root, const std::string& key, const std::string& name,
                          const RegValue& value) = 0;
    virtual std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                               const std::string& name) = 0;
    // createKey, then queryValue: a platform that can looks at the registry once for both.
    virtual std::optional<RegValue> queryValueCreatingKey(RegRoot root, const std::string& key,
                                                          const std::string& name) {
        createKey(root, key);
        return queryValue(root, key, name);
    }
    // False when the key or the value does not exist or the platform refuses.
    virtual bool deleteValue(RegRoot root, const std::string& key, const std::string& name) = 0;
    // The names of the key's values in the key's order ("" for the default value), and of its
    // direct sub-keys; empty when the key does not exist or cannot be read.
    virtual std::vector<std::string> valueNames(RegRoot root, const std::string& key) = 0;
    virtual std::vector<std::string> subkeyNames(RegRoot root, const std::string& key) = 0;

    // --- files ---------------------------------------------------------------------------
    // The path on this machine of a program path a start-up entry names: a Windows path
    // ("C:\Users\me\evil.exe") through the platform's drives, or the machine's own absolute
    // path. Nothing when it lies nowhere the platform reaches. It is a path like any other: its
    // folder is held before anything is done there.
    virtual std::optional<std::string> localPath(const std::string& path) = 0;

    // The folder at `path`, held as HeldFolder says; null when any step of the path is a link
    // (a reparse point) or not a folder, or it cannot be opened.
    virtual std::unique_ptr<HeldFolder> holdFolder(const std::string& path) = 0;
    // Whose word the values of `root` are: the user who can change them (0: the administrator).
    virtual std::uint32_t registryOwner(RegRoot) { return 0; }

    // --- start-up files ------------------------------------------------------------------
    // The Start-up folders whose files start at log-on: each user's and the common one.
    // Folders that do not exist may be among them.
    virtual std::vector<std::string> startupFolders() = 0;
    // The folder of the scheduled tasks' definitions (Windows\System32\Tasks).
    virtual std::string tasksFolder() = 0;
    // The target path a shortcut file's bytes name, as Windows wrote it; nothing when the bytes
    // are no shortcut or name no path. Only the bytes are read: no file, no link is followed.
    virtual std::optional<std::string> shortcutTarget(std::string_view bytes) = 0;
    // Deletes the scheduled task whose definition is the file `name` of `folder` (the tasks
    // folder or one below it) while that file is `identity`: through the system's task
    // scheduler where it keeps tasks apart from their files (`task` is the task's path there,
    // "\Folder\Name"), then the file itself while it stays. True when the file is gone.
    virtual bool deleteTask(HeldFolder& folder, const std::string& name,
                            const FileIdentity& identity, const std::string& task) = 0;
    // Registers the task `task` again from its definition's bytes once its file is back; true
    // at once where the files alone are the scheduler's tasks.
    virtual bool registerTask(const std::string& task, std::string_view definition) = 0;

    virtual void sleepMs(std::uint32_t milliseconds) = 0;

    // --- hearing of changes ----------------------------------------------------------------
    // Starts watching `folders` for files that appear in them, and `autostartFolders` (with
    // their sub-folders) and the registry keys `startupKeys` (with their sub-keys) for any change.
    // A folder that does not exist or cannot be opened is left out. The thread that starts the
    // watch is the one to wait on it, for as long as it lives. Null where the platform cannot
    // watch: its callers look for themselves.
    virtual std::unique_ptr<ChangeWatch>
    watchChanges(const std::vector<std::string>& /*folders*/,
                 const std::vector<std::string>& /*autostartFolders*/,
                 const std::vector<RegKeyPath>& /*startupKeys*/) {
        return nullptr;
    }

    // --- running as the administrator ----------------------------------------------------
    // When the program runs as the administrator (root), those of `folders` and of the folders
    // the platform keeps its own data in (the stand-ins of the Windows folders and registry)
    // that someone else could change: not owned by the administrator, or writable by group or
    // others, themselves or a folder above them. Empty otherwise. A missing folder counts as
    // its nearest existing parent.
    virtual std::vector<std::string>
    foldersOthersCanChange(const std::vector<std::string>& folders) = 0;

    // --- Linux start-up places (none on Windows and in a Wine prefix) ---------------------
    // As the administrator every user of the password database and the machine's places;
    // otherwise the user running the program.
    virtual LinuxPlaces linuxPlaces() { return {}; }
    // The crontab of `user` as `crontab -l` prints it, "" when the user has none; nothing when it
    // cannot be read (no crontab program, a refusal).
    virtual std::optional<std::string> readCrontab(const std::string&) { return std::nullopt; }
    // Installs `text` as the whole crontab of `user`.
    virtual bool writeCrontab(const std::string&, const std::string&) { return false; }
    // Only while systemd runs for `user` (the machine's own manager for ""), and as that user:
    // stops `unit`; reloads the unit files. False when nothing was done.
    virtual bool stopUnit(const std::string&, const std::string&) { return false; }
    virtual bool reloadUnits(const std::string&) { return false; }
};

} // namespace pestrel
