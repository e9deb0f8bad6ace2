#pragma once
// The folders a guard watches for listed files that appear in them.

#include <string>
#include <vector>

namespace pestrel {

struct Context;

// The Windows folder and the System folder, each ending in the separator; a folder the
// platform does not give is left out.
std::vector<std::string> WatchedFolders(const Context& context);

// The folders whose files start programs: the Start-up folders, the scheduled tasks' folder and
// the Linux autostart, unit and crontab folders, each ending in the separator, whether they exist
// or not. A file that appears there may make an autostart entry.
std::vector<std::string> AutostartFolders(Context& context);

} // namespace pestrel
