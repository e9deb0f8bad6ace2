#include "platform/posix/PosixPlatform.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"
#include "platform/posix/FolderTrust.h"
#include "platform/posix/HiveFile.h"
#include "platform/posix/LinuxPlaceTools.h"
#include "platform/posix/PosixHeldFolder.h"
#include "platform/posix/ProcessIndex.h"
#include "platform/posix/ProcessTable.h"
#include "platform/posix/ShortcutFile.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;

std::string RunningProgram() {
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof target)
        return {};
    return std::string(target, static_cast<std::size_t>(length));
}

} // namespace

PosixPlatform::PosixPlatform(fs::path dataRoot, std::string programFile)
    : dataRoot_(std::move(dataRoot)),
      programFile_(programFile.empty() ? RunningProgram() : std::move(programFile)),
      localMachine_(std::make_unique<HiveFile>(
          (dataRoot_ / "Registry" / "HKEY_LOCAL_MACHINE.reg").string(), "HKEY_LOCAL_MACHINE")),
      currentUser_(std::make_unique<HiveFile>(
          (dataRoot_ / "Registry" / "HKEY_CURRENT_USER.reg").string(), "HKEY_CURRENT_USER")) {
    // The administrator creates nothing in folders others could have prepared; the program
    // refuses to act there anyway.
    if (!foldersOthersCanChange({}).empty())
        return;
    std::error_code ignored;
    fs::create_directories(dataRoot_ / "Windows" / "System32", ignored);
    fs::create_directories(dataRoot_ / "Registry", ignored);
}

PosixPlatform::~PosixPlatform() = default;

namespace {

fs::path DataRootAsNamed() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return fs::path(data) / "pestrel";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user && user->pw_dir ? user->pw_dir : "/tmp";
    }
    return fs::path(home) / ".local" / "share" / "pestrel";
}

} // namespace

fs::path PosixPlatform::DefaultDataRoot() {
    // A user's own links lead where the user may go anyway: they are resolved once, and every
    // later step holds the folders without links. The administrator takes the path as named,
    // and refuses it when a step is a link.
    fs::path root = DataRootAsNamed();
    std::error_code unresolved;
    if (::geteuid() != 0)
        if (fs::path resolved = fs::weakly_canonical(root, unresolved); !unresolved)
            root = std::move(resolved);
    return root;
}

std::string PosixPlatform::hiveFile(RegRoot root) const {
    return (root == RegRoot::CurrentUser ? currentUser_ : localMachine_)->path();
}

void PosixPlatform::setRefuseRegistryWrites(RegRoot root, bool refuse) {
    (root == RegRoot::CurrentUser ? currentUser_ : localMachine_)->setRefuseWrites(refuse);
}

std::string PosixPlatform::windowsFolder() {
    return (dataRoot_ / "Windows").string();
}

std::string PosixPlatform::systemFolder() {
    return (dataRoot_ / "Windows" / "System32").string();
}

std::string PosixPlatform::programFile() {
    return programFile_;
}

std::vector<ProcessRecord> PosixPlatform::processSnapshot(SnapshotDetail detail) {
    return ReadProcessTable(detail);
}

bool PosixPlatform::anyProgramPath(std::string_view name,
                                   const std::function<bool(std::string_view)>& matches) {
    {
        std::lock_guard guard(processIndexOpening_);
        if (!processIndexTried_) {
            processIndexTried_ = true;
            processIndex_ = ProcessIndex::Open();
        }
    }
    // A name with a folder in it is matched against whole paths, which the index does not keep.
    if (!processIndex_ || name.find('/') != std::string_view::npos)
        return AnyProgramPath(matches);
    return processIndex_->anyProgramNamed(name, matches);
}

void PosixPlatform::requestClose(const std::string&) {}

bool PosixPlatform::terminateProcess(const ProcessRecord& process) {
    return EndProcess(process);
}

HiveFile& PosixPlatform::hiveFor(RegRoot root, std::string& key) {
    if (root == RegRoot::CurrentUser)
        return *currentUser_;
    if (root == RegRoot::ClassesRoot)
        key = "Software\\Classes\\" + key;
    return *localMachine_;
}

bool PosixPlatform::createKey(RegRoot root, const std::string& key) {
    std::string path = key;
    if (!RegistryHive::CanStore(path))
        return false;
    return hiveFor(root, path)
        .modify(
            [&](const RegistryHive& hive) {
                return hive.hasKey(path) ? std::optional(true) : std::nullopt;
            },
            [&](RegistryHive& hive) {
                return HiveFile::Outcome{true, hive.createKey(path)};
            });
}

bool PosixPlatform::setValue(RegRoot root, const std::string& key, const std::string& name,
                             const RegValue& value) {
    std::string path = key;
    if (!RegistryHive::CanStore(path) || !RegistryHive::CanStore(name) ||
        (value.kind == RegText && !RegistryHive::CanStore(value.text)))
        return false;
    return hiveFor(root, path)
        .modify(
            [&](const RegistryHive& hive) {
                return hive.holds(path, name, value) ? std::optional(true) : std::nullopt;
            },
            [&](RegistryHive& hive) {
                return HiveFile::Outcome{true, hive.setValue(path, name, value)};
            });
}

std::optional<RegValue> PosixPlatform::queryValue(RegRoot root, const std::string& key,
                                                  const std::string& name) {
    std::string path = key;
    std::optional<RegValue> value;
    hiveFor(root, path).read([&](const RegistryHive& hive) { value = hive.value(path, name); });
    return value;
}

std::optional<RegValue> PosixPlatform::queryValueCreatingKey(RegRoot root, const std::string& key,
                                                             const std::string& name) {
    std::string path = key;
    std::optional<RegValue> value;
    bool looked = false;
    const auto look = [&](const RegistryHive& hive) {
        value = hive.value(path, name);
        looked = true;
    };
    if (RegistryHive::CanStore(path))
        hiveFor(root, path)
            .modify(
                [&](const RegistryHive& hive) -> std::optional<bool> {
                    if (!hive.hasKey(path))
                        return std::nullopt;
                    look(hive);
                    return true;
                },
                [&](RegistryHive& hive) {
                    const bool created = hive.createKey(path);
                    look(hive);
                    return HiveFile::Outcome{true, created};
                });
    // A key that could not be created leaves the value to be looked up alone.
    return looked ? value : queryValue(root, key, name);
}

bool PosixPlatform::deleteValue(RegRoot root, const std::string& key, const std::string& name) {
    std::string path = key;
    return hiveFor(root, path)
        .modify(
            [&](const RegistryHive& hive) {
                return hive.value(path, name) ? std::nullopt : std::optional(false);
            },
            [&](RegistryHive& hive) {
                const bool deleted = hive.deleteValue(path, name);
                return HiveFile::Outcome{deleted, deleted};
            });
}

std::vector<std::string> PosixPlatform::valueNames(RegRoot root, const std::string& key) {
    std::string path = key;
    std::vector<std::string> names;
    hiveFor(root, path).read([&](const RegistryHive& hive) { names = hive.valueNames(path); });
    return names;
}

std::vector<std::string> PosixPlatform::subkeyNames(RegRoot root, const std::string& key) {
    std::string path = key;
    std::vector<std::string> names;
    hiveFor(root, path).read([&](const RegistryHive& hive) { names = hive.subkeyNames(path); });
    return names;
}

std::optional<std::string> PosixPlatform::localPath(const std::string& path) {
    if (path.starts_with('/'))
        return path;
    // The Windows folders the stand-in keeps, by the folder that stands in for each.
    constexpr std::pair<std::string_view, std::string_view> kFolders[] = {
        {"C:\\WINDOWS\\", "Windows"},
        {"C:\\USERS\\", "Users"},
        {"C:\\PROGRAMDATA\\", "ProgramData"},
    };
    for (const auto& [windows, standIn] : kFolders) {
        if (path.size() <= windows.size() || UpperAscii(path.substr(0, windows.size())) != windows)
            continue;
        std::string rest = path.substr(windows.size());
        std::replace(rest.begin(), rest.end(), '\\', '/');
        return (dataRoot_ / standIn).string() + '/' + rest;
    }
    return std::nullopt;
}

std::vector<std::string> PosixPlatform::startupFolders() {
    const fs::path inProfile = "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup";
    std::vector<std::string> folders;
    std::error_code error;
    for (fs::directory_iterator user(dataRoot_ / "Users", error), end; !error && user != end;
         user.increment(error))
        folders.push_back((user->path() / inProfile).string());
    folders.push_back(
        (dataRoot_ / "ProgramData/Microsoft/Windows/Start Menu/Programs/StartUp").string());
    return folders;
}

std::string PosixPlatform::tasksFolder() {
    return (dataRoot_ / "Windows" / "System32" / "Tasks").string();
}

std::optional<std::string> PosixPlatform::shortcutTarget(std::string_view bytes) {
    return ShortcutFileTarget(bytes);
}

bool PosixPlatform::deleteTask(HeldFolder& folder, const std::string& name,
                               const FileIdentity& identity, const std::string&) {
    return folder.deleteFile(name, identity);
}

bool PosixPlatform::registerTask(const std::string&, std::string_view) {
    return true;
}

std::unique_ptr<HeldFolder> PosixPlatform::holdFolder(const std::string& path) {
    return PosixHeldFolder::Open(path);
}

void PosixPlatform::sleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::vector<std::string>
PosixPlatform::foldersOthersCanChange(const std::vector<std::string>& folders) {
    std::vector<std::string> unsafe;
    if (::geteuid() != 0)
        return unsafe;
    std::vector<std::string> all = folders;
    for (const fs::path& own : {dataRoot_, dataRoot_ / "Windows",
                                dataRoot_ / "Windows" / "System32", dataRoot_ / "Registry"})
        all.push_back(own.string());
    for (const std::string& folder : all) {
        if (OthersCanChange(folder))
            unsafe.push_back(folder);
    }
    return unsafe;
}

LinuxPlaces PosixPlatform::linuxPlaces() {
    return ReadLinuxPlaces();
}

std::optional<std::string> PosixPlatform::readCrontab(const std::string& user) {
    return ReadUserCrontab(user);
}

bool PosixPlatform::writeCrontab(const std::string& user, const std::string& text) {
    return WriteUserCrontab(user, text);
}

bool PosixPlatform::stopUnit(const std::string& user, const std::string& unit) {
    // Asked, not waited for: a unit that takes long to stop does not hold up the pass.
    return IsPlainName(unit) && RunSystemctl(user, {"stop", "--no-block", "--", unit});
}

bool PosixPlatform::reloadUnits(const std::string& user) {
    return RunSystemctl(user, {"daemon-reload"});
}

} // namespace pestrel
