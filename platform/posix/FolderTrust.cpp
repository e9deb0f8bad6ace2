#include "platform/posix/FolderTrust.h"

#include "base/FolderFd.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace pestrel {
namespace {

bool RootOnly(const struct stat& info, bool stickyAllowed) {
    if (info.st_uid != 0)
        return false;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        return true;
    return stickyAllowed && (info.st_mode & S_ISVTX) != 0;
}

// The components of `path`, without empty ones and ".".
std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start && path.compare(start, end - start, ".") != 0)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

bool OthersCanChange(const std::string& folder) {
    if (!folder.starts_with('/'))
        return true;
    UniqueFd at(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::optional<struct stat> current = at ? StatOf(at.get()) : std::nullopt;
    if (!current)
        return true;
    for (const std::string& name : Components(folder)) {
        if (name == "..")
            return true;
        UniqueFd next(
            ::openat(at.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            // A missing folder is judged by the one above it; a link or a file in the way is
            // refused.
            if (errno == ENOENT)
                break;
            return true;
        }
        // The folders above the last existing one may be sticky.
        if (!RootOnly(*current, true))
            return true;
        at = std::move(next);
        current = StatOf(at.get());
        if (!current)
            return true;
    }
    return !RootOnly(*current, false);
}

} // namespace pestrel
