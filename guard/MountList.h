#pragma once
// The file systems a guard watches for program starts: every one that holds files a program
// can be started from, each once, however many places it is mounted at.

#include <string>
#include <vector>

namespace pestrel::guard {

struct MountedFileSystem {
    std::string mountPoint; // where it is reached first
    std::string type;       // as the kernel names it: ext4, tmpfs, overlay, ...
    std::string device;     // MAJOR:MINOR, the same wherever it is mounted
};

// The local file systems of a /proc/self/mountinfo text: the kernel's own views (proc, sysfs,
// cgroups, ...) are left out, and so are network and user-space file systems, whose calls may
// wait on a server or on a process and so cannot be asked about while a program waits to start.
std::vector<MountedFileSystem> LocalFileSystems(const std::string& mountinfo);

} // namespace pestrel::guard
