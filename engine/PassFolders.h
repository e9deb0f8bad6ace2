#pragma once
// The folders a kill pass or a restore works in, each held once for the whole run: whatever is
// put at their paths meanwhile is never reached.

#include "engine/KeptCopies.h"
#include "platform/Platform.h"

#include <memory>

namespace pestrel {

struct Context;

struct PassFolders {
    std::unique_ptr<HeldFolder> work;    // the working folder: Temp.~txt
    std::unique_ptr<HeldFolder> backup;  // Temp/: Temp/<entry> backups and Log.ini
    std::unique_ptr<HeldFolder> kept;    // the undo folder's Kept/: the copies the undo puts back
    std::unique_ptr<HeldFolder> windows; // the Windows folder
    std::unique_ptr<HeldFolder> system;  // the System folder
    KeptCopies copies;                   // the kept copies made while they are held
};

// Holds the folders, creating Temp/, the system's undo folder and its Kept/ when missing and,
// for the machine's own system, moving an older journal and its kept copies out of Temp/ into
// Undo/ once. A folder that cannot be held is null.
PassFolders HoldPassFolders(Context& context);

} // namespace pestrel
