// The Start-up folders, the tasks folder and shortcuts, through the shell.
#include "platform/win32/ComScope.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>
// After windows.h, which they need.
#include <initguid.h>
#include <knownfolders.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace pestrel {
namespace {

// Text in the system code page, as the rest of the backend gives it.
std::string Ansi(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size - 1));
    return text;
}

std::string KnownFolder(const KNOWNFOLDERID& id) {
    wchar_t* path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        folder = Ansi(path);
    CoTaskMemFree(path);
    return folder;
}

} // namespace

std::vector<std::string> Win32Platform::startupFolders() {
    std::vector<std::string> folders;
    for (const KNOWNFOLDERID* id : {&FOLDERID_Startup, &FOLDERID_CommonStartup}) {
        if (std::string folder = KnownFolder(*id); !folder.empty())
            folders.push_back(std::move(folder));
    }
    return folders;
}

std::string Win32Platform::tasksFolder() {
    const std::string system = systemFolder();
    return system.empty() ? system : system + "\\Tasks";
}

// The shell's own shortcut object reads the bytes from memory: no path is opened, so nothing
// put at the shortcut's path since it was held is read instead.
std::optional<std::string> Win32Platform::shortcutTarget(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > (1u << 20))
        return std::nullopt;
    const ComScope com(COINIT_APARTMENTTHREADED);
    Released<IShellLinkW> link;
    Released<IPersistStream> persist;
    Released<IStream> stream;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.outVoid())) ||
        FAILED(link.get()->QueryInterface(IID_IPersistStream, persist.outVoid())))
        return std::nullopt;
    *stream.out() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                      static_cast<UINT>(bytes.size()));
    if (!stream.get() || persist.get()->Load(stream.get()) != S_OK)
        return std::nullopt;
    wchar_t target[MAX_PATH * 4] = {};
    if (link.get()->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH) != S_OK)
        return std::nullopt;
    std::string path = Ansi(target);
    if (path.empty())
        return std::nullopt;
    return path;
}

} // namespace pestrel
