#include "platform/posix/FolderTrust.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace pestrel {
namespace {

bool RootOnly(const struct stat& info, bool stickyAllowed) {
    if (info.st_uid != 0)
        return false;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        return true;
    return stickyAllowed && (info.st_mode & S_ISVTX) != 0;
}

} // namespace

bool OthersCanChange(const std::string& folder) {
    std::string path = folder;
    char resolved[PATH_MAX];
    // Up to the nearest folder that exists.
    while (!::realpath(path.c_str(), resolved)) {
        const std::size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
        if (slash == std::string::npos)
            return true;
        path = path.substr(0, slash == 0 ? 1 : slash);
    }
    path = resolved;
    // The folder itself must be root's alone; the folders above may be sticky.
    for (bool self = true;; self = false) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !RootOnly(info, !self))
            return true;
        if (path == "/")
            return false;
        const std::size_t slash = path.rfind('/');
        path = slash == 0 ? "/" : path.substr(0, slash);
    }
}

} // namespace pestrel
