#pragma once
// The part of a kill pass that matches files by content. A file that a hash line of the list or
// one of the context's rules matches is handled as a listed entry of its own file name: every
// process running it is ended, it is backed up, logged, deleted and journaled, the start-up
// values of its name go and so does every autostart entry that starts a program of its name.

#include "engine/ContentScan.h"

#include <string>
#include <vector>

namespace pestrel {

struct Context;
struct PassFolders;
class AutostartIndex;
class KillPassView;

// Scans, for the hash lines among the view's entries and the context's rules, the image of every
// running process, the files of the Windows and System folders and the folders of
// `context.scanFolders` (their folders too, never through a link), and handles each match. Nothing
// is read when the list has no hash line and there are no rules. The scan is returned with what it
// has read, for the pass's later scans.
ContentScan RemoveContentMatches(Context& context, PassFolders& folders,
                                 const AutostartIndex& autostart, KillPassView& view);

// Scans the program files at `paths` (such as those that autostart places name) with the pass's
// scan and handles each match the same way.
void RemoveMatchingPrograms(Context& context, PassFolders& folders, const AutostartIndex& autostart,
                            KillPassView& view, ContentScan& scan,
                            const std::vector<std::string>& paths);

} // namespace pestrel
