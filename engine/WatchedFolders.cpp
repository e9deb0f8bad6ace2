#include "engine/WatchedFolders.h"

#include "engine/Context.h"

namespace pestrel {

std::vector<std::string> WatchedFolders(const Context& context) {
    std::vector<std::string> folders;
    for (const std::string& folder : {context.WinDir, context.SysDir}) {
        if (!folder.empty())
            folders.push_back(folder);
    }
    return folders;
}

} // namespace pestrel
