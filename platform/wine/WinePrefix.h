#pragma once
// The layout of a Wine prefix: its Windows and System folders, its drive letters and its registry
// files, and the wineserver that serves it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pestrel::wine {

class WinePrefix {
public:
    // A folder holding drive_c/windows, dosdevices, system.reg and user.reg; otherwise a sentence
    // that says what is missing.
    static std::variant<WinePrefix, std::string> Open(const std::filesystem::path& folder);

    const std::filesystem::path& folder() const { return folder_; }
    // The user who owns the prefix folder; nothing when it cannot be read.
    std::optional<std::uint32_t> owner() const { return owner_; }
    std::string windowsFolder() const;
    std::string systemFolder() const;
    std::string machineHive() const; // system.reg: HKEY_LOCAL_MACHINE
    std::string userHive() const;    // user.reg: HKEY_CURRENT_USER

    // The Linux path of a Windows path ("C:\windows\notepad.exe") through the prefix's drive
    // links; each part that has no exact match takes a name that differs only in ASCII case.
    // Nothing for a drive without a link or a path without a drive.
    std::optional<std::string> linuxPath(std::string_view windowsPath) const;
    // Whether `folder` is this prefix (the same folder reached by any path).
    bool isSameFolder(const std::string& folder) const;
    // The name of the wineserver's working folder for this prefix ("server-<dev>-<inode>").
    const std::string& serverFolderName() const { return serverFolderName_; }
    // Where the wineserver's lock file may lie: under /tmp/.wine-<owner's uid>, or under the
    // folder that the prefix's "wineserver" file names.
    std::vector<std::string> serverLockFiles() const;

private:
    explicit WinePrefix(std::filesystem::path folder);

    std::filesystem::path folder_;
    std::uint64_t device_ = 0, inode_ = 0;
    std::optional<std::uint32_t> owner_;
    std::string serverFolderName_;
};

} // namespace pestrel::wine
