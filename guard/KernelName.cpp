#include "guard/KernelName.h"

#include <climits>
#include <cstdio>
#include <string_view>
#include <unistd.h>

namespace pestrel::guard {
namespace {

constexpr std::string_view kDeleted = " (deleted)";
constexpr std::string_view kMemoryFile = "/memfd:";

} // namespace

std::optional<std::string> KernelName(int fd, const struct stat& file) {
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t length = ::readlink(link, path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path) || path[0] != '/')
        return std::nullopt;
    std::string name(path, length);
    if (file.st_nlink == 0 && name.ends_with(kDeleted))
        name.resize(name.size() - kDeleted.size());
    return name;
}

std::string ImageName(std::string path) {
    if (path.ends_with(kDeleted))
        path.resize(path.size() - kDeleted.size());
    if (path.starts_with(kMemoryFile))
        path.erase(0, kMemoryFile.size());
    return path;
}

} // namespace pestrel::guard
