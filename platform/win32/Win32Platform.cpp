#include "platform/win32/Win32Platform.h"

#include "base/FileBytes.h"
#include "platform/win32/Win32HeldFolder.h"

#include <cctype>
#include <utility>

namespace pestrel {

namespace {

// The folder calls get a 128-byte buffer; a longer path is not supported and reads as none.
constexpr UINT kFolderBufferSize = 128;

template <typename Call> std::string folderFrom(Call call) {
    char buffer[kFolderBufferSize] = {};
    const UINT length = call(buffer, kFolderBufferSize);
    if (length == 0 || length >= kFolderBufferSize)
        return {};
    return std::string(buffer, length);
}

} // namespace

Win32Platform::Win32Platform(std::string toolhelpModule) : toolhelp_(std::move(toolhelpModule)) {}

Win32Platform::Win32Platform(std::string toolhelpModule, std::string programFile)
    : toolhelp_(std::move(toolhelpModule)), programFile_(std::move(programFile)) {}

std::string Win32Platform::windowsFolder() {
    return folderFrom(GetWindowsDirectoryA);
}

std::string Win32Platform::systemFolder() {
    return folderFrom(GetSystemDirectoryA);
}

std::string Win32Platform::programFile() {
    if (!programFile_.empty())
        return programFile_;
    std::string name(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, name.data(), DWORD(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

bool Win32Platform::fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::folderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32Platform::localPath(const std::string& path) {
    const std::string plain = path.starts_with("\\??\\") ? path.substr(4) : path;
    const bool drive = plain.size() > 3 && std::isalpha(static_cast<unsigned char>(plain[0])) &&
                       plain[1] == ':' && plain[2] == '\\';
    if (!drive && !plain.starts_with("\\\\"))
        return std::nullopt;
    return plain;
}

bool Win32Platform::createFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Platform::deleteFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool Win32Platform::appendToFile(const std::string& path, const std::string& bytes) {
    return AppendToFile(path, bytes);
}

std::uint32_t Win32Platform::fileAttributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

bool Win32Platform::setFileAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != 0;
}

std::unique_ptr<HeldFolder> Win32Platform::holdFolder(const std::string& path) {
    return Win32HeldFolder::hold(path);
}

std::string Win32Platform::readProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, const std::string& fallback) {
    std::string value(256, '\0');
    for (;;) {
        const DWORD length =
            GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), value.data(),
                                     DWORD(value.size()), file.c_str());
        // A value that filled the buffer may have been cut: read again with more room.
        if (length + 1 < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(value.size() * 2);
    }
}

bool Win32Platform::writeProfileString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           0;
}

void Win32Platform::sleepMs(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

std::vector<std::string> Win32Platform::foldersOthersCanChange(const std::vector<std::string>&) {
    return {};
}

} // namespace pestrel
