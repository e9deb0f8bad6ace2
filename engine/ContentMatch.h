#pragma once
// The part of a kill pass that matches files by content. A file that a hash line of the list or
// one of the context's rules matches is removed by its identity alone: every process whose image
// it is is ended, and it is backed up, logged, deleted and journaled under its own file name. Its
// name never becomes a list entry: no other file, start-up value or autostart entry of that
// name is touched, whoever chose the name.

#include "engine/ContentScan.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pestrel {

// A program file an autostart place names, and whose word the place is (0: the administrator's).
struct PlacedProgram {
    std::string path;
    std::uint32_t owner = 0;
};

struct Context;
struct PassFolders;
class PassList;
class PassSink;

// Scans, for the hash lines among the list's entries and the context's rules, the image of every
// running process, the files of the Windows and System folders and the folders of
// `context.scanFolders` (their folders too, never through a link), and handles each match. Nothing
// is read when the list has no hash line and there are no rules. The scan is returned with what it
// has read, for the pass's later scans.
ContentScan RemoveContentMatches(Context& context, PassFolders& folders, PassList& list,
                                 PassSink& sink);

// Scans the program files that autostart places name with the pass's scan and handles each match
// the same way, reading and removing each with the rights of its place's owner only.
void RemoveMatchingPrograms(Context& context, PassFolders& folders, PassSink& sink,
                            ContentScan& scan, const std::vector<PlacedProgram>& programs);

} // namespace pestrel
