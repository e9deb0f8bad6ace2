#pragma once
// Passes every call to a real platform. Tests derive from it to make one call fail where a
// failure must be provoked (a file that will not go away, a file marked system).

#include "platform/Platform.h"

namespace pestrel::test {

class ForwardingPlatform : public Platform {
public:
    explicit ForwardingPlatform(Platform& real) : real_(real) {}

    std::string windowsFolder() override { return real_.windowsFolder(); }
    std::string systemFolder() override { return real_.systemFolder(); }
    std::string programFile() override { return real_.programFile(); }
    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override {
        return real_.processSnapshot(detail);
    }
    void requestClose(const std::string& name) override { real_.requestClose(name); }
    bool terminateProcess(std::uint32_t id) override { return real_.terminateProcess(id); }
    bool createKey(RegRoot root, const std::string& key) override {
        return real_.createKey(root, key);
    }
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override {
        return real_.setValue(root, key, name, value);
    }
    std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                       const std::string& name) override {
        return real_.queryValue(root, key, name);
    }
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override {
        return real_.deleteValue(root, key, name);
    }
    bool fileExists(const std::string& path) override { return real_.fileExists(path); }
    bool folderExists(const std::string& path) override { return real_.folderExists(path); }
    bool createFolder(const std::string& path) override { return real_.createFolder(path); }
    bool deleteFile(const std::string& path) override { return real_.deleteFile(path); }
    bool copyFile(const std::string& from, const std::string& to) override {
        return real_.copyFile(from, to);
    }
    std::uint32_t fileAttributes(const std::string& path) override {
        return real_.fileAttributes(path);
    }
    bool setFileAttributes(const std::string& path, std::uint32_t attributes) override {
        return real_.setFileAttributes(path, attributes);
    }
    std::string readProfileString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& fallback) override {
        return real_.readProfileString(file, section, key, fallback);
    }
    bool writeProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& value) override {
        return real_.writeProfileString(file, section, key, value);
    }
    void sleepMs(std::uint32_t milliseconds) override { real_.sleepMs(milliseconds); }

private:
    Platform& real_;
};

} // namespace pestrel::test
