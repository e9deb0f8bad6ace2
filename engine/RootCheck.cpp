#include "engine/RootCheck.h"

#include "engine/Context.h"
#include "platform/Platform.h"

namespace pestrel {

std::string RootRefusal(Context& context) {
    std::vector<std::string> folders;
    for (const std::string& folder : {context.AppPath, context.backupFolder()}) {
        if (!folder.empty())
            folders.push_back(folder);
    }
    const std::vector<std::string> unsafe = context.platform.foldersOthersCanChange(folders);
    if (unsafe.empty())
        return {};
    std::string text = "Pestrel 以 root 身份运行，但其他用户也能改动这些文件夹（不属于 root，"
                       "或组和其他用户可写）：";
    for (std::size_t i = 0; i < unsafe.size(); ++i)
        text += (i == 0 ? "" : "、") + unsafe[i];
    text += "。为免有人借 root 的权限改写或删除别处的文件，Pestrel 不做任何改动。请把这些文件夹"
            "交给 root 并去掉组和其他用户的写权限，或者不用 root 运行。";
    return text;
}

} // namespace pestrel
