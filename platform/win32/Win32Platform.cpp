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

std::optional<std::string> Win32Platform::localPath(const std::string& path) {
    const std::string plain = path.starts_with("\\??\\") ? path.substr(4) : path;
    const bool drive = plain.size() > 3 && std::isalpha(static_cast<unsigned char>(plain[0])) &&
                       plain[1] == ':' && plain[2] == '\\';
    if (!drive && !plain.starts_with("\\\\"))
        return std::nullopt;
    return plain;
}

std::unique_ptr<HeldFolder> Win32Platform::holdFolder(const std::string& path) {
    return Win32HeldFolder::hold(path);
}

void Win32Platform::sleepMs(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

std::vector<std::string> Win32Platform::foldersOthersCanChange(const std::vector<std::string>&) {
    return {};
}

} // namespace pestrel
