#pragma once
// What a guard does when it sees a listed program or file, by the kill pass's own steps, each
// reported to the view as the pass reports it and journaled so that the undo puts it back.

#include "platform/Platform.h"

#include <string>

namespace pestrel {

struct Context;
struct PassFolders;
class GuardList;
class KillPassView;

// Ends every running program whose file name is listed and deletes its file. True when one ran.
bool EndListedPrograms(Context& context, PassFolders& folders, KillPassView& view,
                       const GuardList& list);

// The file `name` that appeared in `folder`: when its name is listed, it is backed up and
// deleted while it is the file found.
void RemoveDroppedFile(Context& context, PassFolders& folders, KillPassView& view,
                       const GuardList& list, const std::string& folder, const std::string& name);

// The program file `path` of `entry` whose start was refused, as `identity`: reported as
// `denied PATH`, then backed up and deleted while its name still is that file.
void RemoveDeniedFile(Context& context, PassFolders& folders, KillPassView& view,
                      const std::string& entry, const std::string& path,
                      const FileIdentity& identity);

// Reads the autostart places again and takes every listed program out of them, with the
// start-up values named like it.
void CleanAutostartPlaces(Context& context, PassFolders& folders, KillPassView& view,
                          const GuardList& list);

} // namespace pestrel
