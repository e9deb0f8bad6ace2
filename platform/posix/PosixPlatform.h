#pragma once
// The platform on Linux. The Windows folder, the System folder and the registry are stand-ins
// kept under a data root:
//
//   <root>/Windows/                   the Windows folder
//   <root>/Windows/System32/          the System folder
//   <root>/Registry/HKEY_LOCAL_MACHINE.reg, HKEY_CURRENT_USER.reg   REGEDIT4 text
//   <root>/Users/<user>/               a user's profile folder (C:\Users\<user>)
//   <root>/ProgramData/                the folder of data common to all users (C:\ProgramData)
//
// Start-up folders and scheduled tasks lie where Windows keeps them inside those folders:
// Users/<user>/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup,
// ProgramData/Microsoft/Windows/Start Menu/Programs/StartUp and Windows/System32/Tasks.
//
// HKEY_CLASSES_ROOT lives under HKEY_LOCAL_MACHINE\Software\Classes, as on Windows.

#include "platform/Platform.h"

#include <filesystem>
#include <memory>
#include <mutex>

namespace pestrel {

class HiveFile;
class ProcessIndex;

class PosixPlatform final : public Platform {
public:
    // Creates the stand-in folders under `dataRoot` when missing, unless the program runs as the
    // administrator and others could change the data root. `programFile` defaults to the
    // running program.
    explicit PosixPlatform(std::filesystem::path dataRoot, std::string programFile = {});
    ~PosixPlatform() override;

    // ${XDG_DATA_HOME:-$HOME/.local/share}/pestrel
    static std::filesystem::path DefaultDataRoot();
    const std::filesystem::path& dataRoot() const { return dataRoot_; }
    std::string hiveFile(RegRoot root) const;
    // Makes the hive of `root` refuse every change, as a registry does for a user without the
    // rights to write it. ClassesRoot and LocalMachine share one hive.
    void setRefuseRegistryWrites(RegRoot root, bool refuse);

    std::string windowsFolder() override;
    std::string systemFolder() override;
    std::string programFile() override;

    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override;
    // Run as root, from an index the kernel's process events keep current; otherwise by a walk
    // of /proc at every call.
    bool anyProgramPath(std::string_view name,
                        const std::function<bool(std::string_view)>& matches) override;
    // Linux has no window to ask by name; the polite SIGTERM is part of terminateProcess.
    void requestClose(const std::string& name) override;
    bool terminateProcess(const ProcessRecord& process) override;

    bool createKey(RegRoot root, const std::string& key) override;
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override;
    std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                       const std::string& name) override;
    std::optional<RegValue> queryValueCreatingKey(RegRoot root, const std::string& key,
                                                  const std::string& name) override;
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override;
    std::vector<std::string> valueNames(RegRoot root, const std::string& key) override;
    std::vector<std::string> subkeyNames(RegRoot root, const std::string& key) override;

    std::unique_ptr<HeldFolder> holdFolder(const std::string& path) override;
    // A Linux path as it is; a Windows path inside C:\Windows, C:\Users or C:\ProgramData in
    // the stand-in of that folder.
    std::optional<std::string> localPath(const std::string& path) override;

    // Each folder of Users/ gives its own Start-up folder.
    std::vector<std::string> startupFolders() override;
    std::string tasksFolder() override;
    // Read with liblnk.
    std::optional<std::string> shortcutTarget(std::string_view bytes) override;
    // The tasks are their files alone.
    bool deleteTask(HeldFolder& folder, const std::string& name, const FileIdentity& identity,
                    const std::string& task) override;
    bool registerTask(const std::string& task, std::string_view definition) override;

    void sleepMs(std::uint32_t milliseconds) override;

    // The data root, its Windows and System folders and its registry folder are the platform's.
    std::vector<std::string>
    foldersOthersCanChange(const std::vector<std::string>& folders) override;

    // Every user's places as root, the user's own otherwise; crontab and systemctl run for them.
    LinuxPlaces linuxPlaces() override;
    std::optional<std::string> readCrontab(const std::string& user) override;
    bool writeCrontab(const std::string& user, const std::string& text) override;
    bool stopUnit(const std::string& user, const std::string& unit) override;
    bool reloadUnits(const std::string& user) override;

private:
    // The hive holding `root`, with `key` rewritten to its path inside that hive.
    HiveFile& hiveFor(RegRoot root, std::string& key);

    std::filesystem::path dataRoot_;
    std::string programFile_;
    std::unique_ptr<HiveFile> localMachine_;
    std::unique_ptr<HiveFile> currentUser_;
    // Opened at the first lookup by program path; stays null where the kernel tells no events.
    std::mutex processIndexOpening_;
    bool processIndexTried_ = false;
    std::unique_ptr<ProcessIndex> processIndex_;
};

} // namespace pestrel
