// Backup copies on Windows: CopyFileA never writes through what is already at the target, the
// source is held while it is copied, and a target folder that is a junction is refused.

#include "base/FileBytes.h"
#include "platform/win32/Win32Platform.h"

namespace pestrel {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string(".") : path.substr(0, last);
}

// A real folder, not a junction or link put in its place.
bool isPlainFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Opens the source without following a reparse point and without letting anyone write, rename
// or delete it until the copy is done.
HANDLE holdSource(const std::string& from, const std::optional<FileIdentity>& image) {
    HANDLE file = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    BY_HANDLE_FILE_INFORMATION info;
    const bool plain =
        GetFileInformationByHandle(file, &info) &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    const FileIdentity identity{info.dwVolumeSerialNumber,
                                (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    if (!plain || (image && !(*image == identity))) {
        CloseHandle(file);
        return nullptr;
    }
    return file;
}

bool copyInto(const std::string& from, const std::string& to,
              const std::optional<FileIdentity>& image) {
    const std::string folder = folderOf(to);
    if (!isPlainFolder(folder))
        return false;
    HANDLE source = holdSource(from, image);
    if (source == nullptr)
        return false;
    const std::string fresh = folder + "\\.~" + UniqueTemporaryPart() + ".tmp";
    // A new name only: an existing file or link there makes the copy fail.
    const bool copied = CopyFileA(from.c_str(), fresh.c_str(), TRUE) != 0;
    CloseHandle(source);
    if (copied && MoveFileExA(fresh.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0)
        return true;
    if (copied)
        DeleteFileA(fresh.c_str());
    return false;
}

} // namespace

bool Win32Platform::copyFile(const std::string& from, const std::string& to) {
    return copyInto(from, to, std::nullopt);
}

bool Win32Platform::copyProgramFile(const std::string& from, const FileIdentity& image,
                                    const std::string& to) {
    return copyInto(from, to, image);
}

std::vector<std::string> Win32Platform::foldersOthersCanChange(const std::vector<std::string>&) {
    return {};
}

} // namespace pestrel
