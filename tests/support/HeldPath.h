#pragma once
// The tests' look at a file or folder by its path, taken as the engine takes it: through the
// folder it lies in, held by the platform under test.

#include "engine/Public.h"
#include "platform/Platform.h"

#include <memory>
#include <string>

namespace pestrel::test {

// The folder of `path`, held, and the last name of `path` in it.
struct HeldPath {
    std::unique_ptr<HeldFolder> folder;
    std::string name;
    explicit operator bool() const { return folder != nullptr; }
};

inline HeldPath Hold(Platform& platform, const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == kPathSeparator)
        trimmed.pop_back();
    const std::string folder = FolderOf(trimmed);
    return {folder.empty() ? nullptr : platform.holdFolder(folder), trimmed.substr(folder.size())};
}

inline bool IsFolder(Platform& platform, const std::string& path) {
    return platform.holdFolder(path) != nullptr;
}

// Creates the folder `path`; false when it is there already or cannot be made.
inline bool MakeFolder(Platform& platform, const std::string& path) {
    const HeldPath at = Hold(platform, path);
    return at && !at.folder->hasEntry(at.name) && at.folder->folder(at.name, true);
}

inline std::string ProfileValue(Platform& platform, const std::string& file,
                                const std::string& section, const std::string& key,
                                const std::string& fallback = "") {
    const HeldPath at = Hold(platform, file);
    return at ? at.folder->readProfileString(at.name, section, key, fallback) : fallback;
}

inline bool SetProfileValue(Platform& platform, const std::string& file, const std::string& section,
                            const std::string& key, const std::string& value) {
    const HeldPath at = Hold(platform, file);
    return at && at.folder->writeProfileString(at.name, section, key, value);
}

inline std::uint32_t Attributes(Platform& platform, const std::string& file) {
    const HeldPath at = Hold(platform, file);
    return at ? at.folder->fileAttributes(at.name) : FileAttribute::Invalid;
}

inline bool SetAttributes(Platform& platform, const std::string& file, std::uint32_t attributes) {
    const HeldPath at = Hold(platform, file);
    return at && at.folder->setFileAttributes(at.name, attributes);
}

// Deletes the regular file at `path`, whatever file it is.
inline bool DeleteAt(Platform& platform, const std::string& path) {
    const HeldPath at = Hold(platform, path);
    const std::optional<FileIdentity> identity =
        at ? at.folder->fileIdentity(at.name) : std::nullopt;
    return identity && at.folder->deleteFile(at.name, *identity);
}

} // namespace pestrel::test
