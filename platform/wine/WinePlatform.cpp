#include "platform/wine/WinePlatform.h"

#include "platform/wine/WineProcesses.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace pestrel::wine {
namespace {

// Runs Wine's server program with the prefix's WINEPREFIX; true when it exits with status 0.
// posix_spawn keeps the child free of this process's threads and heap.
bool RunWineserver(const WinePrefix& prefix, const char* option) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        if (!std::string_view(*entry).starts_with("WINEPREFIX="))
            variables.emplace_back(*entry);
    }
    variables.push_back("WINEPREFIX=" + prefix.folder().string());
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    char name[] = "wineserver";
    char* argv[] = {name, const_cast<char*>(option), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, "wineserver", nullptr, nullptr, argv, envp.data()) != 0 &&
        ::posix_spawn(&child, "/usr/lib/wine/wineserver", nullptr, nullptr, argv, envp.data()) != 0)
        return false;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

const char* const WinePlatform::kWineRunsText =
    "Wine is running in this prefix, so its registry was left unchanged. Close the prefix's "
    "programs (or use --stop-wine) and clean again.";

WinePlatform::WinePlatform(WinePrefix prefix, Platform& files)
    : ForwardingPlatform(files), prefix_(std::move(prefix)),
      machine_(std::make_unique<WineHiveFile>(prefix_.machineHive())),
      user_(std::make_unique<WineHiveFile>(prefix_.userHive())) {}

std::optional<std::string> WinePlatform::registryProblem() {
    for (WineHiveFile* file : {machine_.get(), user_.get()}) {
        if (std::optional<std::string> problem = file->problem())
            return "The registry file " + file->path() + " is not in Wine's format (" + *problem +
                   "); it was left unchanged.";
    }
    return std::nullopt;
}

bool WinePlatform::serverRuns() const {
    return ServerRuns(prefix_);
}

bool WinePlatform::stopServer() {
    using namespace std::chrono_literals;
    if (!ServerRuns(prefix_))
        return true;
    // "-k" makes the server end the prefix's programs, save the registry and exit.
    if (!RunWineserver(prefix_, "-k"))
        return false;
    for (int wait = 0; wait < 100 && ServerRuns(prefix_); ++wait)
        std::this_thread::sleep_for(100ms);
    return !ServerRuns(prefix_);
}

std::string WinePlatform::windowsFolder() {
    return prefix_.windowsFolder();
}

std::string WinePlatform::systemFolder() {
    return prefix_.systemFolder();
}

std::vector<std::string>
WinePlatform::foldersOthersCanChange(const std::vector<std::string>& folders) {
    // The prefix's folders are where files are moved and registry files rewritten.
    std::vector<std::string> all = folders;
    all.push_back(prefix_.folder().string());
    all.push_back(windowsFolder());
    all.push_back(systemFolder());
    return ForwardingPlatform::foldersOthersCanChange(all);
}

std::vector<ProcessRecord> WinePlatform::processSnapshot(SnapshotDetail detail) {
    return ReadPrefixProcesses(prefix_, detail);
}

void WinePlatform::requestClose(const std::string&) {}

bool WinePlatform::terminateProcess(const ProcessRecord& process) {
    return EndPrefixProcess(prefix_, process);
}

std::optional<std::string> WinePlatform::localPath(const std::string& path) {
    return prefix_.linuxPath(path);
}

std::vector<std::string> WinePlatform::startupFolders() {
    std::vector<std::string> windowsPaths;
    std::error_code error;
    for (std::filesystem::directory_iterator user(prefix_.folder() / "drive_c" / "users", error),
         end;
         !error && user != end; user.increment(error))
        windowsPaths.push_back(
            "C:\\users\\" + user->path().filename().string() +
            "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
    windowsPaths.push_back("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
    std::vector<std::string> folders;
    for (const std::string& path : windowsPaths) {
        if (std::optional<std::string> folder = prefix_.linuxPath(path))
            folders.push_back(std::move(*folder));
    }
    return folders;
}

std::string WinePlatform::tasksFolder() {
    return prefix_.linuxPath("C:\\windows\\system32\\Tasks").value_or("");
}

WineHiveFile& WinePlatform::hiveFor(RegRoot root, std::string& key) {
    if (root == RegRoot::CurrentUser)
        return *user_;
    if (root == RegRoot::ClassesRoot)
        key = "Software\\Classes\\" + key;
    return *machine_;
}

// While the server runs, the files do not hold the registry Wine sees, so not even a change that
// the files suggest is unneeded is decided on them.
WineHiveFile::Gate WinePlatform::serverGate() {
    if (!ServerRuns(prefix_))
        return WineHiveFile::Gate::Open;
    if (stopWine_ && stopServer())
        return WineHiveFile::Gate::Reopened;
    refusedWhileWineRan_ = true;
    return WineHiveFile::Gate::Closed;
}

bool WinePlatform::createKey(RegRoot root, const std::string& key) {
    std::string path = key;
    WineHiveFile& file = hiveFor(root, path);
    return file.modify(
        [&](WineHive& hive) {
            const bool created = hive.createKey(path, WineTime::Now());
            return WineHiveFile::Outcome{created || hive.hasKey(path), created};
        },
        [this] { return serverGate(); });
}

bool WinePlatform::setValue(RegRoot root, const std::string& key, const std::string& name,
                            const RegValue& value) {
    std::string path = key;
    if (!WineHive::CanStore(path) || !WineHive::CanStore(name) ||
        (value.kind == RegText && !WineHive::CanStore(value.text)))
        return false;
    WineHiveFile& file = hiveFor(root, path);
    return file.modify(
        [&](WineHive& hive) {
            const bool changed = hive.setValue(path, name, value, WineTime::Now());
            return WineHiveFile::Outcome{changed || hive.value(path, name).has_value(), changed};
        },
        [this] { return serverGate(); });
}

std::optional<RegValue> WinePlatform::queryValue(RegRoot root, const std::string& key,
                                                 const std::string& name) {
    std::string path = key;
    return hiveFor(root, path).value(path, name);
}

bool WinePlatform::deleteValue(RegRoot root, const std::string& key, const std::string& name) {
    std::string path = key;
    WineHiveFile& file = hiveFor(root, path);
    return file.modify(
        [&](WineHive& hive) {
            const bool deleted = hive.deleteValue(path, name, WineTime::Now());
            return WineHiveFile::Outcome{deleted, deleted};
        },
        [this] { return serverGate(); });
}

std::vector<std::string> WinePlatform::valueNames(RegRoot root, const std::string& key) {
    std::string path = key;
    std::vector<std::string> names;
    hiveFor(root, path).read([&](const WineHive& hive) { names = hive.valueNames(path); });
    return names;
}

std::vector<std::string> WinePlatform::subkeyNames(RegRoot root, const std::string& key) {
    std::string path = key;
    std::vector<std::string> names;
    hiveFor(root, path).read([&](const WineHive& hive) { names = hive.subkeyNames(path); });
    return names;
}

} // namespace pestrel::wine
