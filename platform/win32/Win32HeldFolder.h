#pragma once
// Folders held open on Windows. Every step of the folder's path is opened as a folder handle that
// is not a reparse point (junction, symbolic link, mount point) and lies where its path says, and
// each step stays open without FILE_SHARE_DELETE while the folder is held: no step can be renamed,
// removed or replaced, so the held path keeps leading to the held folder. Files inside are opened
// by that path and their name, and every handle is checked against the held folder again: a file
// whose final path is not the held folder's path and its name (it was reached through a link) is
// refused, as is a directory or a reparse point. On a user's word, a file is read or deleted only
// when its security, and the folder's, would let that user do it.

#include "platform/Platform.h"
#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Owners.h"

#include <memory>
#include <string_view>

namespace pestrel {

// The volume serial number and file index of an open file: what it is, whatever its name.
std::optional<FileIdentity> IdentityOf(HANDLE file);
// Text in the system code page as UTF-16.
std::wstring Wide(const std::string& text);
// Renames the open file to the full path `path`, replacing the file there.
bool RenameOver(HANDLE file, const std::string& path);
// UTF-16 text in the system code page; nothing when the code page cannot carry it exactly (a
// near character put in the place of a missing one would name another file).
std::optional<std::string> ExactAnsi(std::wstring_view wide);
// Whether `name` is one entry name: not empty, not "." or "..", no separator, no ':' (which would
// name a data stream) and no NUL.
bool IsEntryName(const std::string& name);

class Win32HeldFolder final : public HeldFolder {
public:
    // Drive paths ("C:\...") and network paths ("\\server\share\..."), absolute or relative to
    // the working folder; '/' counts as '\', and device paths ("\\?\...") are refused. Null when a
    // step is a reparse point or not a folder, or cannot be opened, or once open is not where its
    // path says (reached through a link that is not marked as one, or named by a short 8.3 name).
    static std::unique_ptr<HeldFolder> hold(const std::string& path);

    // The folder at `path`, held as hold() holds it, opened to hear of changes in it
    // (ReadDirectoryChangesW, overlapped); an empty handle when it cannot be held or opened.
    static UniqueHandle openForChanges(const std::string& path);

    const std::string& path() const override { return path_; }
    std::optional<FileIdentity> fileIdentity(const std::string& name) override;
    // The user is the owner's number in this run (OwnerNumber: 0 for the administrator's word),
    // the group 0, and the mode 0444 for a read-only file, 0644 otherwise.
    std::optional<FileOwnership> fileOwnership(const std::string& name) override;
    std::optional<FileDigest> fileDigest(const std::string& name, std::uint64_t maxBytes) override;
    std::optional<FileStamp> fileStamp(const std::string& name) override;
    // Names that the program's code page cannot carry are left out: no call here could reach
    // them.
    std::optional<FolderEntries> entries() override;
    // The volume the folder lies on; Windows has no pseudo file systems among its folders.
    std::optional<FileSystemOf> fileSystem() override;
    // A read-only view of the file, opened so that no one writes to it meanwhile.
    std::unique_ptr<MappedFile> mapFile(const std::string& name,
                                        const FileIdentity& identity) override;
    // On a user's word, only when that user could delete it (Grants, MayDelete).
    bool deleteFile(const std::string& name, const FileIdentity& identity) override;
    // On a user's word, only a file that user could read. Holes are read as zeros: a sparse file is
    // copied whole, and its whole size counts for the free space left.
    bool copyFile(const std::string& name, const FileIdentity& identity, HeldFolder& to,
                  const std::string& toName) override;
    bool linkFile(const std::string& name, HeldFolder& to, const std::string& toName) override;
    // The new file gets the folder's inherited permissions and stays the administrator's; a mode
    // without the owner's write bit makes it read-only.
    bool restoreFile(HeldFolder& from, const std::string& fromName, const std::string& name,
                     const FileOwnership& ownership) override;
    std::unique_ptr<HeldFolder> folder(const std::string& name, bool create) override;
    // Names the system code page cannot carry are left out.
    std::vector<std::string> entryNames() override;
    bool hasEntry(const std::string& name) override;
    std::optional<std::string> readFile(const std::string& name, std::uint64_t maxBytes) override;
    // The new file takes the folder's inherited permissions.
    bool replaceFile(const std::string& name, const std::string& bytes) override;
    bool appendFile(const std::string& name, const std::string& bytes) override;
    std::uint32_t fileAttributes(const std::string& name) override;
    bool setFileAttributes(const std::string& name, std::uint32_t attributes) override;
    // Through the system's profile calls (GetPrivateProfileString, WritePrivateProfileString).
    std::string readProfileString(const std::string& name, const std::string& section,
                                  const std::string& key, const std::string& fallback) override;
    bool writeProfileString(const std::string& name, const std::string& section,
                            const std::string& key, const std::string& value) override;
    // The account `user` numbers (OwnerNumber); 0 changes nothing.
    void actFor(std::uint32_t user) override;
    // The number of the folder's owner.
    std::optional<std::uint32_t> owner() override;

private:
    // One step of the path, held with the steps above it.
    struct Step {
        UniqueHandle handle;
        std::wstring finalPath; // as GetFinalPathNameByHandleW gives it, no trailing separator
        std::shared_ptr<const Step> above;
    };

    Win32HeldFolder(std::string path, std::shared_ptr<const Step> step);

    // The folder at `path`, which must be the entry `name` of `above` (no check for a root).
    static std::shared_ptr<const Step> openStep(const std::string& path, const std::string& name,
                                                std::shared_ptr<const Step> above);
    // The existing regular file `name`, opened with `access` and `share`.
    UniqueHandle openFile(const std::string& name, DWORD access, DWORD share) const;
    // A new file `name`, writable and deletable through the handle only; with `ownerOnly`, no one
    // but its owner may open it.
    UniqueHandle createFile(const std::string& name, bool ownerOnly) const;
    // Whether `bytes` more would leave at least 5 % of the folder's disk free.
    bool hasRoomFor(std::uint64_t bytes) const;
    // Whether the account the folder acts for is granted `access` to the open `file`; always on
    // the administrator's word.
    bool userMay(HANDLE file, ACCESS_MASK access) const;
    // Marks the open file for deletion once its last handle closes.
    static bool deleteOnClose(HANDLE file);

    std::string path_;
    std::shared_ptr<const Step> step_;
    std::optional<AccountSid> user_; // whose word, when not the administrator's
};

} // namespace pestrel
