#pragma once
// The platform for a Wine prefix cleaned from Linux: the prefix's Windows and System folders,
// its Windows programs and its registry files (system.reg for HKEY_LOCAL_MACHINE and
// HKEY_CLASSES_ROOT, user.reg for HKEY_CURRENT_USER). Files, profile files and sleeping are
// those of the Linux platform it is given.
//
// The prefix's wineserver holds the registry in memory while it runs and writes it back when it
// ends, over any change made to the files meanwhile. While it runs, every registry change
// either stops it first (when allowed) or is refused, and the refusal is remembered. Reading
// goes to the files as they are.

#include "platform/ForwardingPlatform.h"
#include "platform/wine/WineHiveFile.h"
#include "platform/wine/WinePrefix.h"

#include <atomic>
#include <memory>
#include <string>

namespace pestrel::wine {

class WinePlatform final : public ForwardingPlatform {
public:
    WinePlatform(WinePrefix prefix, Platform& files);

    // Why the prefix's registry cannot be used, in a sentence; nothing when it can.
    std::optional<std::string> registryProblem();

    // Whether a registry change may stop the prefix's wineserver (and with it every program
    // of the prefix) through Wine's own tools.
    void setStopWineForChanges(bool stop) { stopWine_ = stop; }
    // Whether a registry change was refused because Wine was running in the prefix, since the
    // last time this was asked.
    bool takeRefusal() { return refusedWhileWineRan_.exchange(false); }
    // The sentence that says so.
    static const char* const kWineRunsText;
    bool serverRuns() const;
    // Asks the prefix's wineserver to save the registry and end, and waits for it (bounded).
    // True when no server runs afterwards.
    bool stopServer();

    // The prefix's folder as it was opened.
    std::string winePrefixFolder() override { return prefix_.folder().string(); }
    std::string windowsFolder() override;
    std::string systemFolder() override;
    // Adds the prefix's own folders to the ones the administrator must hold alone.
    std::vector<std::string>
    foldersOthersCanChange(const std::vector<std::string>& folders) override;
    // A prefix holds Windows programs only: the machine's Linux places are not its own.
    LinuxPlaces linuxPlaces() override { return {}; }

    // Through the prefix's drives.
    std::optional<std::string> localPath(const std::string& path) override;
    // The Start-up folder of each user folder of drive_c/users, and the common one.
    std::vector<std::string> startupFolders() override;
    std::string tasksFolder() override;

    // Both hives are files of the prefix: its owner's word (nobody's when the owner is unknown).
    std::uint32_t registryOwner(RegRoot) override { return prefix_.owner().value_or(65534); }

    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override;
    void requestClose(const std::string& name) override;
    bool terminateProcess(const ProcessRecord& process) override;

    bool createKey(RegRoot root, const std::string& key) override;
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override;
    std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                       const std::string& name) override;
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override;
    std::vector<std::string> valueNames(RegRoot root, const std::string& key) override;
    std::vector<std::string> subkeyNames(RegRoot root, const std::string& key) override;

private:
    // The file holding `root`, with `key` rewritten to its path inside that file.
    WineHiveFile& hiveFor(RegRoot root, std::string& key);
    WineHiveFile::Gate serverGate();

    WinePrefix prefix_;
    std::unique_ptr<WineHiveFile> machine_;
    std::unique_ptr<WineHiveFile> user_;
    std::atomic<bool> stopWine_{false};
    std::atomic<bool> refusedWhileWineRan_{false};
};

} // namespace pestrel::wine
