#include "platform/win32/Win32WorkFolder.h"

#include "base/FileBytes.h"

#include <shlobj.h>
#include <windows.h>

namespace pestrel {

namespace {

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A file made and gone at once: the folder's access rules and the medium both allow writing.
bool CanWriteIn(const std::string& folder) {
    char name[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "pst", 0, name) == 0)
        return false;
    DeleteFileA(name);
    return true;
}

} // namespace

std::string ChooseWin32WorkFolder(const std::string& programFile, const std::string& dataRoot) {
    const std::string own = FolderOf(programFile);
    if (!own.empty() && !Exists(own + kUninstallerName) && CanWriteIn(own))
        return own;
    if (dataRoot.empty())
        return {};
    const std::string root = dataRoot.back() == '\\' ? dataRoot : dataRoot + '\\';
    if (!CreateDirectoryA(root.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return {};
    return root;
}

std::string DefaultWin32DataRoot() {
    PWSTR wide = nullptr;
    std::string root;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &wide))) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (size > 1) {
            root.resize(size - 1);
            WideCharToMultiByte(CP_ACP, 0, wide, -1, root.data(), size, nullptr, nullptr);
            root += "\\Pestrel\\";
        }
    }
    CoTaskMemFree(wide);
    return root;
}

void CopyInstalledReadme(const std::string& programFile, const std::string& workFolder) {
    const std::string own = FolderOf(programFile);
    if (own.empty() || own == workFolder)
        return;
    for (const char* name : {"Readme.txt", "Readme.en.txt"}) {
        const std::optional<std::string> installed = ReadFileBytes(own + name);
        if (installed && ReadFileBytes(workFolder + name) != installed)
            CopyFileA((own + name).c_str(), (workFolder + name).c_str(), FALSE);
    }
}

} // namespace pestrel
