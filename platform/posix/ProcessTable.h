#pragma once
// The running processes as /proc shows them.

#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pestrel {

// Every process in ascending id order. The program-file text is the file name of the
// /proc/ID/exe target (the kernel's " (deleted)" mark removed), or the command name when that
// link is refused; the program path is the link target and the image the file it leads to.
// Kernel threads and processes that have already ended (zombies) have no program link and are
// not listed. A ForEnding record also holds the process's start time and the identity of its
// image.
std::vector<ProcessRecord> ReadProcessTable(SnapshotDetail detail);

// Whether a process runs whose program path, as ReadProcessTable gives it, satisfies `matches`:
// one walk of /proc reading only program links, stopping at the first.
bool AnyProgramPath(const std::function<bool(std::string_view)>& matches);

// The program path of process `id` as ReadProcessTable gives it, its link read relative to the
// open /proc folder `procFd`; nothing, errno set, when it has none (a kernel thread, an ended
// process, a refusal).
std::optional<std::string> ProgramPathOf(int procFd, std::uint32_t id);

// Every process that has a program path, with that path, in ascending id order.
std::vector<std::pair<std::uint32_t, std::string>> ReadProgramPaths();

// When process `id` started, in clock ticks since boot; 0 when it is gone.
std::uint64_t ProcessStartTime(std::uint32_t id);

// SIGTERM, up to 200 ms for the process to end, then SIGKILL, sent through a pidfd taken now,
// and only while the process under the id still has the record's start time and image. False
// when the process cannot be signalled (gone, replaced by another under its id, or not ours to
// end).
bool EndProcess(const ProcessRecord& process);

} // namespace pestrel
