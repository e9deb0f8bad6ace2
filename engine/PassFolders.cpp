#include "engine/PassFolders.h"

#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/WorkFiles.h"

namespace pestrel {

PassFolders HoldPassFolders(Context& context) {
    Platform& platform = context.platform;
    PassFolders folders;
    folders.work = HoldWorkFolder(context);
    folders.backup = HoldBackupFolder(folders.work.get());
    if (const std::unique_ptr<HeldFolder> undo = HoldUndoFolder(context))
        folders.kept = undo->folder("Kept", true);
    if (folders.backup && folders.kept)
        MoveOlderJournal(context, *folders.backup, *folders.kept);
    if (!context.WinDir.empty())
        folders.windows = platform.holdFolder(context.WinDir);
    if (!context.SysDir.empty())
        folders.system = platform.holdFolder(context.SysDir);
    return folders;
}

} // namespace pestrel
