#pragma once
// Takes a start-up file out of its folder: a shortcut in a Start-up folder, a scheduled task's
// definition.

#include <string>

namespace pestrel {

struct AutostartEntry;
struct Context;
struct PassFolders;
class PassSink;

// Deletes the file of `place` (a Shortcut or a Task) while it is still the file found and still
// starts `entry`, keeping a copy for the undo and journaling it, and reports it as
// `shortcut PATH TARGET` or `task PATH COMMAND`. A file gone or changed since is left alone.
void RemoveStartFile(Context& context, PassFolders& folders, PassSink& sink,
                     const AutostartEntry& place, const std::string& entry);

} // namespace pestrel
