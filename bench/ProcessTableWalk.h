#pragma once
// The references of the process figures, in plain C calls: one walk of /proc reading every
// process's program link, and the floor of a kill pass over names that are nowhere.

#include <benchmark/benchmark.h>
#include <climits>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pestrel::bench {

inline void WalkReadingPaths() {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return;
    std::size_t bytes = 0;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        char target[PATH_MAX];
        const std::string link = std::string("/proc/") + entry->d_name + "/exe";
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
        if (length > 0)
            bytes += static_cast<std::size_t>(length);
    }
    ::closedir(proc);
    benchmark::DoNotOptimize(bytes);
}

// What any pass over `names` must do at the least: one walk of /proc, and a stat of each name in
// each of `folders` (each ending in '/').
inline void WalkAndStatNames(const std::vector<std::string>& folders,
                             const std::vector<std::string>& names) {
    WalkReadingPaths();
    std::size_t found = 0;
    std::string path;
    for (const std::string& name : names) {
        for (const std::string& folder : folders) {
            path.assign(folder).append(name);
            struct stat info;
            found += ::stat(path.c_str(), &info) == 0;
        }
    }
    benchmark::DoNotOptimize(found);
}

} // namespace pestrel::bench
