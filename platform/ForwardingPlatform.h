#pragma once
// A platform that passes every call on to another one. Derived platforms change the few calls
// they are about: the window gates its workers' sleeps, tests provoke failures.

#include "platform/Platform.h"

namespace pestrel {

class ForwardingPlatform : public Platform {
public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

    std::string windowsFolder() override { return inner_.windowsFolder(); }
    std::string systemFolder() override { return inner_.systemFolder(); }
    std::string programFile() override { return inner_.programFile(); }
    std::string winePrefixFolder() override { return inner_.winePrefixFolder(); }

    // anyProgramPath is not passed on: it walks this platform's own snapshot, so that a platform
    // that changes the snapshot is looked up as it lists. One that does not may pass it on.
    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override {
        return inner_.processSnapshot(detail);
    }
    void requestClose(const std::string& name) override { inner_.requestClose(name); }
    bool terminateProcess(const ProcessRecord& process) override {
        return inner_.terminateProcess(process);
    }

    bool createKey(RegRoot root, const std::string& key) override {
        return inner_.createKey(root, key);
    }
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override {
        return inner_.setValue(root, key, name, value);
    }
    std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                       const std::string& name) override {
        return inner_.queryValue(root, key, name);
    }
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override {
        return inner_.deleteValue(root, key, name);
    }
    std::vector<std::string> valueNames(RegRoot root, const std::string& key) override {
        return inner_.valueNames(root, key);
    }
    std::vector<std::string> subkeyNames(RegRoot root, const std::string& key) override {
        return inner_.subkeyNames(root, key);
    }

    std::optional<std::string> localPath(const std::string& path) override {
        return inner_.localPath(path);
    }
    std::unique_ptr<HeldFolder> holdFolder(const std::string& path) override {
        return inner_.holdFolder(path);
    }
    std::uint32_t registryOwner(RegRoot root) override { return inner_.registryOwner(root); }

    std::vector<std::string> startupFolders() override { return inner_.startupFolders(); }
    std::string tasksFolder() override { return inner_.tasksFolder(); }
    std::optional<std::string> shortcutTarget(std::string_view bytes) override {
        return inner_.shortcutTarget(bytes);
    }
    bool deleteTask(HeldFolder& folder, const std::string& name, const FileIdentity& identity,
                    const std::string& task) override {
        return inner_.deleteTask(folder, name, identity, task);
    }
    bool registerTask(const std::string& task, std::string_view definition) override {
        return inner_.registerTask(task, definition);
    }

    void sleepMs(std::uint32_t milliseconds) override { inner_.sleepMs(milliseconds); }

    std::unique_ptr<ChangeWatch> watchChanges(const std::vector<std::string>& folders,
                                              const std::vector<std::string>& autostartFolders,
                                              const std::vector<RegKeyPath>& startupKeys) override {
        return inner_.watchChanges(folders, autostartFolders, startupKeys);
    }

    std::vector<std::string>
    foldersOthersCanChange(const std::vector<std::string>& folders) override {
        return inner_.foldersOthersCanChange(folders);
    }

    LinuxPlaces linuxPlaces() override { return inner_.linuxPlaces(); }
    std::optional<std::string> readCrontab(const std::string& user) override {
        return inner_.readCrontab(user);
    }
    bool writeCrontab(const std::string& user, const std::string& text) override {
        return inner_.writeCrontab(user, text);
    }
    bool stopUnit(const std::string& user, const std::string& unit) override {
        return inner_.stopUnit(user, unit);
    }
    bool reloadUnits(const std::string& user) override { return inner_.reloadUnits(user); }

protected:
    Platform& inner_;
};

} // namespace pestrel
