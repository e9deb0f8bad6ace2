#pragma once
// The platform interface on the Windows API, ANSI calls throughout: the text the engine handles is
// in the system code page, exactly as Windows gives it.

#include "platform/Platform.h"
#include "platform/win32/Toolhelp.h"

namespace pestrel {

class Win32Platform : public Platform {
public:
    // `toolhelpModule` is the library the snapshot entry points are resolved from on first use.
    explicit Win32Platform(std::string toolhelpModule = "kernel32.dll");
    // Keeps the working files beside `programFile` (in the work folder) instead of beside the
    // running program.
    Win32Platform(std::string toolhelpModule, std::string programFile);

    std::string windowsFolder() override;
    std::string systemFolder() override;
    std::string programFile() override;

    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override;
    bool anyProgramPath(std::string_view name,
                        const std::function<bool(std::string_view path)>& matches) override;
    // Sends WM_CLOSE to the top-level window titled `name`, waiting at most this long.
    static constexpr unsigned kCloseRequestTimeoutMs = 2000;
    void requestClose(const std::string& name) override;
    // Ends the process with exit code 0 and waits at most this long for it to be gone.
    static constexpr unsigned kTerminationWaitMs = 3000;
    // Only while the id still names the process of the record (same creation time).
    bool terminateProcess(const ProcessRecord& process) override;

    bool createKey(RegRoot root, const std::string& key) override;
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override;
    std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                       const std::string& name) override;
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override;
    std::vector<std::string> valueNames(RegRoot root, const std::string& key) override;
    std::vector<std::string> subkeyNames(RegRoot root, const std::string& key) override;
    // HKEY_CURRENT_USER is the word of the owner of its hive (OwnerNumber), the others the
    // administrator's.
    std::uint32_t registryOwner(RegRoot root) override;

    // A drive or network path as it is, without a "\??\" in front.
    std::optional<std::string> localPath(const std::string& path) override;

    std::unique_ptr<HeldFolder> holdFolder(const std::string& path) override;

    // The shell's known Start-up folders, the user's and the common one.
    std::vector<std::string> startupFolders() override;
    std::string tasksFolder() override;
    // Through the shell's shortcut object (IShellLinkW), loaded from the bytes.
    std::optional<std::string> shortcutTarget(std::string_view bytes) override;
    // Through the Task Scheduler (ITaskService), which keeps each task besides its file.
    bool deleteTask(HeldFolder& folder, const std::string& name, const FileIdentity& identity,
                    const std::string& task) override;
    bool registerTask(const std::string& task, std::string_view definition) override;

    // ReadDirectoryChangesW on every folder, RegNotifyChangeKeyValue on every key (or, while a
    // key is missing, on the nearest key above it that exists), waited for together. Folders
    // are held as holdFolder holds them. Null when more places exist than one wait can take.
    std::unique_ptr<ChangeWatch> watchChanges(const std::vector<std::string>& folders,
                                              const std::vector<std::string>& autostartFolders,
                                              const std::vector<RegKeyPath>& startupKeys) override;

    void sleepMs(std::uint32_t milliseconds) override;

    // The system guards the Windows folders and the registry itself: nothing to refuse here.
    std::vector<std::string>
    foldersOthersCanChange(const std::vector<std::string>& folders) override;

private:
    Toolhelp toolhelp_;
    std::string programFile_; // empty: the running program's own file
};

} // namespace pestrel
