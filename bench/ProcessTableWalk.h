#pragma once
// The reference of the process figures: one plain walk of /proc reading every process's
// program link.

#include <benchmark/benchmark.h>
#include <climits>
#include <dirent.h>
#include <string>
#include <unistd.h>

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

} // namespace pestrel::bench
