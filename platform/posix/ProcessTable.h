#pragma once
// The running processes as /proc shows them.

#include "platform/Platform.h"

#include <cstdint>
#include <vector>

namespace pestrel {

// Every process in ascending id order. The program-file text is the file name of the
// /proc/ID/exe target (the kernel's " (deleted)" mark removed), or the command name when that
// link is refused; the program path is the link target. Kernel threads and processes that have
// already ended (zombies) have no program link and are not listed.
std::vector<ProcessRecord> ReadProcessTable(SnapshotDetail detail);

// SIGTERM, up to 200 ms for the process to end, then SIGKILL. False when the process cannot
// be signalled (gone, or not ours to end).
bool EndProcess(std::uint32_t id);

} // namespace pestrel
