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
    values_[ValueSlot(root, key, name)] = value;
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

bool DryRunPlatform::fileExists(const std::string& path) {
    if (deletedFiles_.count(path))
        return false;
    return createdFiles_.count(path) || inner_.fileExists(path);
}

bool DryRunPlatform::folderExists(const std::string& path) {
    return createdFolders_.count(path) || inner_.folderExists(path);
}

bool DryRunPlatform::createFolder(const std::string& path) {
    if (folderExists(path) || fileExists(path))
        return false;
    record("createFolder " + path);
    createdFolders_.insert(path);
    return true;
}

bool DryRunPlatform::deleteFile(const std::string& path) {
    if (!fileExists(path))
        return false;
    record("deleteFile " + path);
    deletedFiles_.insert(path);
    createdFiles_.erase(path);
    attributes_.erase(path);
    return true;
}

bool DryRunPlatform::copyFile(const std::string& from, const std::string& to) {
    if (!fileExists(from))
        return false;
    record("copyFile " + from + " " + to);
    createdFiles_.insert(to);
    deletedFiles_.erase(to);
    attributes_.erase(to);
    return true;
}

// Whether the file is still the program's image can only be known by opening it, which changes
// nothing; the copy itself is only recorded.
bool DryRunPlatform::copyProgramFile(const std::string& from, const FileIdentity&,
                                     const std::string& to) {
    return copyFile(from, to);
}

bool DryRunPlatform::appendToFile(const std::string& path, const std::string&) {
    record("appendToFile " + path);
    createdFiles_.insert(path);
    deletedFiles_.erase(path);
    return true;
}

std::uint32_t DryRunPlatform::fileAttributes(const std::string& path) {
    if (!fileExists(path))
        return FileAttribute::Invalid;
    if (const auto known = attributes_.find(path); known != attributes_.end())
        return known->second;
    return createdFiles_.count(path) ? 0 : inner_.fileAttributes(path);
}

bool DryRunPlatform::setFileAttributes(const std::string& path, std::uint32_t attributes) {
    if (!fileExists(path))
        return false;
    record("setFileAttributes " + path + " " + std::to_string(attributes));
    attributes_[path] = attributes;
    return true;
}

std::string DryRunPlatform::readProfileString(const std::string& file, const std::string& section,
                                              const std::string& key, const std::string& fallback) {
    if (const auto known = profile_.find(ProfileSlot(file, section, key)); known != profile_.end())
        return known->second;
    return inner_.readProfileString(file, section, key, fallback);
}

bool DryRunPlatform::writeProfileString(const std::string& file, const std::string& section,
                                        const std::string& key, const std::string& value) {
    record("writeProfileString " + file + " [" + section + "] " + key);
    profile_[ProfileSlot(file, section, key)] = value;
    createdFiles_.insert(file);
    deletedFiles_.erase(file);
    return true;
}

} // namespace pestrel
