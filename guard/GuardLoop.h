#pragma once
// The guard on Linux: runs until SIGTERM or SIGINT over one or more systems, refusing the start
// of listed programs where the kernel lets it (as root), ending them where it does not, and
// removing listed files that appear in the watched folders. As root it also ends, as they start,
// the processes that run listed code without a listed start (through the loader, a deleted or
// memory file). It reads the start-up places again after they change, at most once a second, and
// reloads the list on SIGHUP and when the list file changes.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct Context;
class PassSink;

namespace guard {

// One system the guard keeps clean: the Linux stand-in, or one Wine prefix.
struct SystemSetup {
    Context* context = nullptr; // initialised; it outlives the guard
    // Files whose change may add an autostart entry: the registry's files.
    std::vector<std::string> registryFiles;
    // The folder below which the system's own files lie (a prefix's drive_c/), by which a
    // refused start's file is told to be the system's; empty for none.
    std::string filesFolder;
    // The platform's programs are a Wine prefix's: they start as Wine's loader, which is not
    // the listed file, so they are ended as soon as they are seen.
    bool winePrograms = false;
};

struct GuardSetup {
    std::string listPath; // watched for changes
    // The list's lines as they are now; nothing when it cannot be read (the last list stays).
    std::function<std::optional<std::vector<std::string>>()> readList;
    // At least one. A refused start whose file lies below no system's files folder is the
    // first one's.
    std::vector<SystemSetup> systems;
};

enum class GuardNotice {
    Denying,           // starts of listed programs are refused
    EndingOnly,        // they cannot be refused, only ended (detail: why)
    FileSystemSkipped, // detail: the mount point and why
    FileSystemAdded,   // one mounted since the start is watched too (detail: its mount point)
    NotWatched,        // a folder that cannot be watched (detail: the folder)
    ListReloaded,      // detail: how many names it holds
    ListUnreadable,    // the last list stays
    Stopping,
};

// Runs the guard over every system of `setup`; `notice` hears what it says besides the actions,
// which go to `sink`. The exit status: 0 after SIGTERM or SIGINT, 1 when it could not run.
int RunGuardLoop(PassSink& sink, const GuardSetup& setup,
                 const std::function<void(GuardNotice, const std::string&)>& notice);

} // namespace guard
} // namespace pestrel
