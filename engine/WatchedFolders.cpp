#include "engine/WatchedFolders.h"

#include "engine/Context.h"
#include "engine/LinuxAutostart.h"
#include "engine/Public.h"
#include "platform/Platform.h"

namespace pestrel {

std::vector<std::string> WatchedFolders(const Context& context) {
    std::vector<std::string> folders;
    for (const std::string& folder : {context.WinDir, context.SysDir}) {
        if (!folder.empty())
            folders.push_back(folder);
    }
    return folders;
}

std::vector<std::string> AutostartFolders(Context& context) {
    Platform& platform = context.platform;
    std::vector<std::string> folders = platform.startupFolders();
    folders.push_back(platform.tasksFolder());
    for (std::string& folder : LinuxAutostartFolders(context))
        folders.push_back(std::move(folder));
    std::erase(folders, std::string());
    for (std::string& folder : folders)
        folder = WithTrailingSeparator(std::move(folder));
    return folders;
}

} // namespace pestrel
