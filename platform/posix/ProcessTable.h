#pragma once
// The running processes as /proc shows them.

#include "platform/Platform.h"

#include <cstdint>
#include <vector>

namespace pestrel {

// Every process in ascending id order. The program-file text is the file name of the
// /proc/ID/exe target (the kernel's " (deleted)" mark removed), or the command name when that
// link is refused; the program path is the link target and the image the file it leads to.
// Kernel threads and processes that have already ended (zombies) have no program link and are
// not listed. A ForEnding record also holds a pidfd of its process (or its start time where no
// pidfd can be had) and the identity of its image.
std::vector<ProcessRecord> ReadProcessTable(SnapshotDetail detail);

// SIGTERM, up to 200 ms for the process to end, then SIGKILL, sent through the record's pidfd,
// or through one taken now while the id still has the record's start time. False when the
// process cannot be signalled (gone, replaced by another under its id, or not ours to end).
bool EndProcess(const ProcessRecord& process);

} // namespace pestrel
