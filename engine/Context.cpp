#include "engine/Context.h"

#include "engine/ContentScan.h"
#include "engine/Public.h"

namespace pestrel {

std::string Context::backupFolder() const {
    // Without a program folder the bare "Temp" would land in the current directory.
    if (AppPath.empty())
        return {};
    return AppPath + "Temp" + kPathSeparator;
}

void InitialiseContext(Context& context) {
    context.AppPath = FolderOf(context.platform.programFile());
    context.WinDir = GetWinDir(context.platform);
    context.SysDir = GetSysDir(context.platform);
#ifndef _WIN32
    // Windows lets whoever may write a file set its change time: there a stamp vouches for what
    // a file holds only during one pass.
    context.digests = std::make_shared<DigestCache>();
#endif
}

} // namespace pestrel
