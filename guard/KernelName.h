#pragma once
// The name the kernel holds for an open file or a mapped one, as a guard judges a program start
// by it: the path at the time of the start, whatever name the program was started by.

#include <optional>
#include <string>
#include <sys/stat.h>

namespace pestrel::guard {

// The path of the open file `fd` (`file` is its status): a deleted file's without the kernel's
// " (deleted)" mark, so that it is judged by the name it had. Nothing when the kernel cannot
// give it (a path longer than it reports, a file of no file system).
std::optional<std::string> KernelName(int fd, const struct stat& file);

// A path as /proc shows a mapping or an executable: without " (deleted)", and a memory file's
// (`/memfd:NAME`) as its NAME, the name its maker gave it.
std::string ImageName(std::string path);

} // namespace pestrel::guard
