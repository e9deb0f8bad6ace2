#include "engine/PassFolders.h"

#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/WorkFiles.h"

namespace pestrel {

PassFolders HoldPassFolders(Context& context) {
    Platform& platform = context.platform;
    PassFolders folders;
    EnsureBackupFolder(context);
    folders.backup = platform.holdFolder(context.backupFolder());
    if (const std::string undo = UndoFolder(context); !undo.empty()) {
        if (!platform.folderExists(undo))
            platform.createFolder(undo);
        if (const std::unique_ptr<HeldFolder> held = platform.holdFolder(undo))
            folders.kept = held->folder("Kept", true);
    }
    if (folders.backup && folders.kept)
        MoveOlderJournal(context, *folders.backup, *folders.kept);
    if (!context.WinDir.empty())
        folders.windows = platform.holdFolder(context.WinDir);
    if (!context.SysDir.empty())
        folders.system = platform.holdFolder(context.SysDir);
    return folders;
}

} // namespace pestrel
