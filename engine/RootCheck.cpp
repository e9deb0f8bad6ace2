#include "engine/RootCheck.h"

#include "engine/Context.h"
#include "platform/Platform.h"

#include <string_view>

namespace pestrel {

std::vector<std::string> UnsafeFolders(Context& context) {
    std::vector<std::string> folders;
    for (const std::string& folder : {context.AppPath, context.backupFolder()}) {
        if (!folder.empty())
            folders.push_back(folder);
    }
    return context.platform.foldersOthersCanChange(folders);
}

std::string RootRefusal(Context& context) {
    const std::vector<std::string> unsafe = UnsafeFolders(context);
    if (unsafe.empty())
        return {};
    std::string folders;
    for (const std::string& folder : unsafe)
        folders.append(folders.empty() ? "" : kRootRefusalSeparator).append(folder);
    const std::string_view words = kRootRefusalText;
    const std::size_t at = words.find("%1");
    return std::string(words.substr(0, at)).append(folders).append(words.substr(at + 2));
}

} // namespace pestrel
