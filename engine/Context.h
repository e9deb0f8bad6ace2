#pragma once
// The values every worker needs, filled in once when the main window is created.

#include "engine/ScanLimits.h"

#include <memory>
#include <string>
#include <vector>

namespace pestrel {

class ContentRules;
class DigestCache;
class Platform;

struct Context {
    explicit Context(Platform& p) : platform(p) {}

    Platform& platform;
    std::string AppPath; // program folder, ending in the path separator
    std::string WinDir;  // Windows folder, ending in '\'/'/', or empty
    std::string SysDir;  // System folder, ending in '\'/'/', or empty
    // Folders a kill pass also scans by content, walked without following a link.
    std::vector<std::string> scanFolders;
    // Rules a kill pass matches files with, when there are any, and what matching by content
    // may spend on each file.
    ContentRules* contentRules = nullptr;
    ScanLimits scanLimits;
    // Besides the start-up values named like an entry, take a listed program out of every
    // autostart place that starts it, whatever the place calls it, and delete the program files
    // those places name (the user's choice; off, a pass is the plain one).
    bool cleanAutostart = false;
    // The digests the passes of this context (and of its copies) have taken, by file stamp.
    std::shared_ptr<DigestCache> digests;

    std::string backupFolder() const; // AppPath + "Temp" + separator
};

// Fills AppPath, WinDir and SysDir from the platform, and starts an empty digest cache (not on
// Windows).
void InitialiseContext(Context& context);

} // namespace pestrel
