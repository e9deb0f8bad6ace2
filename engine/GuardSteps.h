#pragma once
// What a guard does when it sees a listed program or file, by the kill pass's own steps, each
// reported to the sink as the pass reports it and journaled so that the undo puts it back.

#include "platform/Platform.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace pestrel {

struct Context;
struct PassFolders;
class GuardList;
class PassSink;

// The rounds over the running programs: each ends every running program whose file name is
// listed and deletes its file. A listed program whose file cannot be told yet (a Windows
// program whose file Wine has not mapped yet, so none of its code has run) is left to the next
// rounds for a while, so that its file goes too; after that it is ended all the same.
class ListedProgramRounds {
public:
    static constexpr std::chrono::milliseconds kFileWait{3000};

    // One round; true when a listed program ran.
    bool run(Context& context, PassFolders& folders, PassSink& sink, const GuardList& list);

private:
    using Clock = std::chrono::steady_clock;
    // By id and start time: when the round first saw it without its file.
    std::map<std::pair<std::uint32_t, std::uint64_t>, Clock::time_point> waiting_;
};

// The file `name` that appeared in `folder`: when its name is listed, it is backed up and
// deleted while it is the file found.
void RemoveDroppedFile(Context& context, PassFolders& folders, PassSink& sink,
                       const GuardList& list, const std::string& folder, const std::string& name);

// Every file of the watched folders whose name is listed, removed as a dropped one.
void RemoveListedFilesFromWatchedFolders(Context& context, PassFolders& folders, PassSink& sink,
                                         const GuardList& list);

// The program file `path` of `entry` whose start was refused, as `identity`: reported as
// `denied PATH`, then backed up and deleted while its name still is that file.
void RemoveDeniedFile(Context& context, PassFolders& folders, PassSink& sink,
                      const std::string& entry, const std::string& path,
                      const FileIdentity& identity);

// RemoveDeniedFile without the `denied` line: the file of a program ended once it ran.
void RemoveRefusedFile(Context& context, PassFolders& folders, PassSink& sink,
                       const std::string& entry, const std::string& path,
                       const FileIdentity& identity);

// Deletes the start-up values named like each entry and, with the choice of cleaning autostart
// places, reads them again and takes every listed program out of them.
void CleanAutostartPlaces(Context& context, PassFolders& folders, PassSink& sink,
                          const GuardList& list);

} // namespace pestrel
