#pragma once
// The program path of every running process, kept current by the kernel's word, so that a
// lookup answers for the processes as they run at that very moment without walking /proc. The
// kernel tells of every fork, program start and exit (the process connector) and of every rename
// of a running program's file (a fanotify mark on each); all it told before a lookup is applied
// first, and when it lost some, /proc is walked afresh. Both need root.

#include "base/FolderFd.h"
#include "platform/posix/ProcessEvents.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pestrel {

class ProcessIndex {
public:
    // Listening and filled; null when the kernel will not tell (not root, no connector).
    static std::unique_ptr<ProcessIndex> Open();

    // Whether a process runs whose program path has the file name `name` (the part after the
    // last '/'), ASCII case aside, and satisfies `matches`. Any thread may ask.
    bool anyProgramNamed(std::string_view name,
                         const std::function<bool(std::string_view path)>& matches);

private:
    ProcessIndex(std::unique_ptr<ProcessEvents> events, UniqueFd renames, UniqueFd proc);
    // Applies what the kernel told since the last look; walks /proc afresh when it lost some or a
    // running program's file was renamed.
    void catchUp();
    void walk();
    // Reads the program path of `process` as it is now and watches its file for renames, or
    // forgets the process when it has no path.
    void reread(std::uint32_t process);
    void forget(std::uint32_t process);

    std::unique_ptr<ProcessEvents> events_;
    UniqueFd renames_; // fanotify: a running program's file was moved
    UniqueFd proc_;
    std::mutex mutex_;
    std::unordered_map<std::uint32_t, std::string> paths_;
    // Each process under its path's file name, upper-cased.
    std::unordered_multimap<std::string, std::uint32_t> byName_;
    // Processes whose file could not be watched: read afresh at every lookup.
    std::set<std::uint32_t> unwatched_;
};

} // namespace pestrel
