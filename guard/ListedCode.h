#pragma once
// The listed code a process runs right after it started a program, however it started it: the
// program given to execve, a program given to the loader (`ld.so FILE`), a deleted file started
// through its descriptor, a memory file. Each executable mapping is judged by the name the kernel
// holds for it and, when the list has hash lines, a mapping of no file on disk by its digest.

#include "engine/GuardList.h"
#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pestrel::guard {

// Files larger than this are not hashed to be judged: they are judged by their names alone.
inline constexpr std::uint64_t kLargestHashedImage = 256ull << 20;

struct ListedCode {
    std::string entry; // the list line that names it
    std::string path;  // as the kernel names it (a file of no name with " (deleted)")
    FileIdentity identity;
    bool onDisk = false; // a file that a name still reaches, to be removed
};

// Whether the program `exe` (as /proc names it) is one whose code is not what runs: the dynamic
// loader run by itself, a deleted file, a memory file. Such a process is held while it is judged.
bool RunsDoubtfulImage(std::string_view exe);

// The first listed code of process `pid`: nothing when it runs none, or has ended. With
// `digests`, a mapping of no file on disk is also judged by what it holds (when the list has
// hash lines), which may take long.
std::optional<ListedCode> ListedCodeOf(std::uint32_t pid, const GuardList& list, bool digests);

} // namespace pestrel::guard
