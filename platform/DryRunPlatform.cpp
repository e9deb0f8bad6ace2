#include "platform/DryRunPlatform.h"

#include "base/AsciiCase.h"

#include <algorithm>

namespace pestrel {
namespace {

// Key paths ignore a leading '\', as the platform does; HKEY_CLASSES_ROOT is a view of the
// local machine's classes.
std::string ValueSlot(RegRoot root, const std::string& key, const std::string& name) {
    std::string path = key.starts_with('\\') ? key.substr(1) : key;
    if (root == RegRoot::ClassesRoot) {
        root = RegRoot::LocalMachine;
        path = "Software\\Classes\\" + path;
    }
    return std::to_string(static_cast<std::uint32_t>(root)) + '\\' + UpperAscii(path) + '\0' +
           UpperAscii(name);
}

std::string ProfileSlot(const std::string& file, const std::string& section,
                        const std::string& key) {
    return file + '\0' + UpperAscii(section) + '\0' + UpperAscii(key);
}

bool IsOneName(const std::string& name) {
    return !name.empty() && name.find(kPathSeparator) == std::string::npos;
}

std::string RootText(RegRoot root) {
    return std::to_string(static_cast<std::uint32_t>(root));
}

} // namespace

std::vector<ProcessRecord> DryRunPlatform::processSnapshot(SnapshotDetail detail) {
    std::vector<ProcessRecord> snapshot = inner_.processSnapshot(detail);
    std::erase_if(snapshot, [this](const ProcessRecord& p) { return ended_.count(p.id) > 0; });
    return snapshot;
}

void DryRunPlatform::requestClose(const std::string& name) {
    record("requestClose " + name);
}

bool DryRunPlatform::terminateProcess(const ProcessRecord& process) {
    record("terminateProcess " + std::to_string(process.id));
    ended_.insert(process.id);
    return true;
}

bool DryRunPlatform::createKey(RegRoot root, const std::string& key) {
    record("createKey " + RootText(root) + " " + key);
    return true;
}

bool DryRunPlatform::setValue(RegRoot root, const std::string& key, const std::string& name,
                              const RegValue& value) {
    record("setValue " + RootText(root) + " " + key + " " + name);
    const std::string slot = ValueSlot(root, key, name);
    if (!values_.count(slot) && !inner_.queryValue(root, key, name))
        writtenNames_[ValueSlot(root, key, "")].push_back(name);
    values_[slot] = value;
    return true;
}

std::optional<RegValue> DryRunPlatform::queryValue(RegRoot root, const std::string& key,
                                                   const std::string& name) {
    if (const auto known = values_.find(ValueSlot(root, key, name)); known != values_.end())
        return known->second;
    return inner_.queryValue(root, key, name);
}

bool DryRunPlatform::deleteValue(RegRoot root, const std::string& key, const std::string& name) {
    if (!queryValue(root, key, name))
        return false;
    record("deleteValue " + RootText(root) + " " + key + " " + name);
    values_[ValueSlot(root, key, name)] = std::nullopt;
    return true;
}

std::vector<std::string> DryRunPlatform::valueNames(RegRoot root, const std::string& key) {
    std::vector<std::string> names = inner_.valueNames(root, key);
    if (const auto written = writtenNames_.find(ValueSlot(root, key, ""));
        written != writtenNames_.end())
        names.insert(names.end(), written->second.begin(), written->second.end());
    std::erase_if(names, [&](const std::string& name) { return !queryValue(root, key, name); });
    return names;
}

void DryRunPlatform::create(const std::string& change, const std::string& path) {
    record(change + path);
    createdFiles_.insert(path);
    deletedFiles_.erase(path);
    attributes_.erase(path);
    contents_.erase(path);
}

// A held folder of the dry run: questions go to the real folder and see the recorded changes;
// changes are recorded. A folder the dry run only pretended to create has no real folder.
class DryRunFolder final : public HeldFolder {
public:
    DryRunFolder(DryRunPlatform& dry, std::unique_ptr<HeldFolder> real, std::string path)
        : dry_(dry), real_(std::move(real)), path_(std::move(path)) {}

    const std::string& path() const override { return path_; }
    std::optional<FileIdentity> fileIdentity(const std::string& name) override {
        if (!exists(name))
            return std::nullopt;
        return created(name) ? FileIdentity{} : real_->fileIdentity(name);
    }
    std::optional<FileOwnership> fileOwnership(const std::string& name) override {
        if (!exists(name))
            return std::nullopt;
        return created(name) ? FileOwnership{} : real_->fileOwnership(name);
    }
    // A copy made in the dry run holds nothing that can be read.
    std::optional<FileDigest> fileDigest(const std::string& name, std::uint64_t maxBytes) override {
        if (!exists(name))
            return std::nullopt;
        return created(name) ? FileDigest{} : real_->fileDigest(name, maxBytes);
    }
    std::optional<FileStamp> fileStamp(const std::string& name) override {
        if (!exists(name))
            return std::nullopt;
        return created(name) ? FileStamp{} : real_->fileStamp(name);
    }
    // The real folder's entries less what the dry run deleted; what it created is not listed.
    std::optional<FolderEntries> entries() override {
        if (!real_)
            return FolderEntries{};
        std::optional<FolderEntries> found = real_->entries();
        if (found)
            std::erase_if(found->files, [this](const std::string& name) { return !exists(name); });
        return found;
    }
    std::optional<FileSystemOf> fileSystem() override {
        return real_ ? real_->fileSystem() : std::nullopt;
    }
    std::unique_ptr<MappedFile> mapFile(const std::string& name,
                                        const FileIdentity& identity) override {
        if (!exists(name) || created(name))
            return nullptr;
        return real_->mapFile(name, identity);
    }
    bool deleteFile(const std::string& name, const FileIdentity& identity) override {
        if (fileIdentity(name) != identity)
            return false;
        const std::string path = path_ + name;
        dry_.record("deleteFile " + path);
        dry_.deletedFiles_.insert(path);
        dry_.createdFiles_.erase(path);
        dry_.attributes_.erase(path);
        dry_.contents_.erase(path);
        return true;
    }
    bool copyFile(const std::string& name, const FileIdentity& identity, HeldFolder& to,
                  const std::string& toName) override {
        if (fileIdentity(name) != identity)
            return false;
        return create("copyFile " + path_ + name + " ", to.path() + toName);
    }
    bool linkFile(const std::string& name, HeldFolder& to, const std::string& toName) override {
        if (!exists(name) || to.fileIdentity(toName))
            return false;
        return create("linkFile " + path_ + name + " ", to.path() + toName);
    }
    bool restoreFile(HeldFolder& from, const std::string& fromName, const std::string& name,
                     const FileOwnership&) override {
        if (!from.fileIdentity(fromName) || exists(name))
            return false;
        return create("restoreFile " + from.path() + fromName + " ", path_ + name);
    }
    std::unique_ptr<HeldFolder> folder(const std::string& name, bool create) override {
        const std::string path = path_ + name + '/';
        std::unique_ptr<HeldFolder> real = real_ ? real_->folder(name, false) : nullptr;
        if (!real && !dry_.createdFolders_.count(path)) {
            if (!create)
                return nullptr;
            dry_.record("createFolder " + path);
            dry_.createdFolders_.insert(path);
        }
        return std::make_unique<DryRunFolder>(dry_, std::move(real), path);
    }
    void actFor(std::uint32_t user) override {
        if (real_)
            real_->actFor(user);
    }
    std::optional<std::uint32_t> owner() override { return real_ ? real_->owner() : std::nullopt; }
    std::vector<std::string> entryNames() override {
        std::vector<std::string> names = real_ ? real_->entryNames() : std::vector<std::string>();
        std::erase_if(names, [&](const std::string& name) {
            return dry_.deletedFiles_.count(path_ + name) > 0;
        });
        for (const std::string& file : dry_.createdFiles_) {
            const std::string name = file.substr(std::min(path_.size(), file.size()));
            if (file.starts_with(path_) && IsOneName(name) &&
                std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
        return names;
    }
    bool hasEntry(const std::string& name) override {
        const std::string path = path_ + name;
        if (dry_.deletedFiles_.count(path))
            return false;
        return dry_.createdFiles_.count(path) || dry_.createdFolders_.count(path + '/') ||
               (real_ && real_->hasEntry(name));
    }
    // A copy made in the dry run holds nothing; a file written in it holds what was written.
    using HeldFolder::readFile;
    std::optional<std::string> readFile(const std::string& name, std::uint64_t maxBytes) override {
        if (!exists(name))
            return std::nullopt;
        if (const auto written = dry_.contents_.find(path_ + name); written != dry_.contents_.end())
            return written->second.size() <= maxBytes ? std::optional(written->second)
                                                      : std::nullopt;
        return created(name) ? std::string() : real_->readFile(name, maxBytes);
    }
    bool replaceFile(const std::string& name, const std::string& bytes) override {
        dry_.create("replaceFile ", path_ + name);
        dry_.contents_[path_ + name] = bytes;
        return true;
    }
    bool appendFile(const std::string& name, const std::string& bytes) override {
        std::string content = readFile(name).value_or(std::string()) + bytes;
        dry_.create("appendToFile ", path_ + name);
        dry_.contents_[path_ + name] = std::move(content);
        return true;
    }
    std::uint32_t fileAttributes(const std::string& name) override {
        if (!exists(name))
            return FileAttribute::Invalid;
        if (const auto known = dry_.attributes_.find(path_ + name); known != dry_.attributes_.end())
            return known->second;
        return created(name) ? 0 : real_->fileAttributes(name);
    }
    bool setFileAttributes(const std::string& name, std::uint32_t attributes) override {
        if (!exists(name))
            return false;
        dry_.record("setFileAttributes " + path_ + name + " " + std::to_string(attributes));
        dry_.attributes_[path_ + name] = attributes;
        return true;
    }
    std::string readProfileString(const std::string& name, const std::string& section,
                                  const std::string& key, const std::string& fallback) override {
        if (const auto known = dry_.profile_.find(ProfileSlot(path_ + name, section, key));
            known != dry_.profile_.end())
            return known->second;
        return real_ && !dry_.deletedFiles_.count(path_ + name)
                   ? real_->readProfileString(name, section, key, fallback)
                   : fallback;
    }
    bool writeProfileString(const std::string& name, const std::string& section,
                            const std::string& key, const std::string& value) override {
        const std::string path = path_ + name;
        dry_.record("writeProfileString " + path + " [" + section + "] " + key);
        dry_.profile_[ProfileSlot(path, section, key)] = value;
        dry_.createdFiles_.insert(path);
        dry_.deletedFiles_.erase(path);
        return true;
    }
    std::optional<std::string> linkTarget(const std::string& name) override {
        if (!real_ || dry_.deletedFiles_.count(path_ + name))
            return std::nullopt;
        return real_->linkTarget(name);
    }
    bool deleteLink(const std::string& name, const std::string& target) override {
        if (linkTarget(name) != target)
            return false;
        dry_.record("deleteLink " + path_ + name);
        dry_.deletedFiles_.insert(path_ + name);
        return true;
    }
    bool createLink(const std::string& name, const std::string& target) override {
        return create("createLink " + target + " ", path_ + name);
    }

private:
    bool created(const std::string& name) const {
        return !real_ || dry_.createdFiles_.count(path_ + name) > 0;
    }
    bool exists(const std::string& name) {
        const std::string path = path_ + name;
        if (dry_.deletedFiles_.count(path))
            return false;
        return dry_.createdFiles_.count(path) || (real_ && real_->fileIdentity(name));
    }
    bool create(const std::string& change, const std::string& file) {
        dry_.create(change, file);
        return true;
    }

    DryRunPlatform& dry_;
    std::unique_ptr<HeldFolder> real_;
    std::string path_;
};

std::optional<std::string> DryRunPlatform::readCrontab(const std::string& user) {
    if (const auto written = crontabs_.find(user); written != crontabs_.end())
        return written->second;
    return ForwardingPlatform::readCrontab(user);
}

bool DryRunPlatform::writeCrontab(const std::string& user, const std::string& text) {
    record("writeCrontab " + user);
    crontabs_[user] = text;
    return true;
}

bool DryRunPlatform::stopUnit(const std::string& user, const std::string& unit) {
    record("stopUnit " + user + " " + unit);
    return true;
}

bool DryRunPlatform::reloadUnits(const std::string& user) {
    record("reloadUnits " + user);
    return true;
}

std::unique_ptr<HeldFolder> DryRunPlatform::holdFolder(const std::string& path) {
    const std::string shown = path.ends_with(kPathSeparator) ? path : path + kPathSeparator;
    std::unique_ptr<HeldFolder> real = inner_.holdFolder(path);
    if (!real && !createdFolders_.count(shown) && !createdFolders_.count(path))
        return nullptr;
    return std::make_unique<DryRunFolder>(*this, std::move(real), shown);
}

bool DryRunPlatform::deleteTask(HeldFolder& folder, const std::string& name,
                                const FileIdentity& identity, const std::string&) {
    return folder.deleteFile(name, identity);
}

bool DryRunPlatform::registerTask(const std::string& task, std::string_view) {
    record("registerTask " + task);
    return true;
}

} // namespace pestrel
