// Any bytes as /proc/self/mountinfo. Every file system found is named by a line of the text, has
// a mount point and a type, and is one the guard may watch; none is found twice.
#include "guard/MountList.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto found = pestrel::guard::LocalFileSystems(text);
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    if (found.size() > lines + 1)
        std::abort();
    std::set<std::string> pseudo = {"proc", "sysfs", "cgroup2", "nfs", "fuse"};
    for (const pestrel::guard::MountedFileSystem& system : found) {
        if (system.mountPoint.empty() || system.type.empty() || pseudo.count(system.type) ||
            system.type.rfind("fuse.", 0) == 0)
            std::abort();
    }
    return 0;
}
