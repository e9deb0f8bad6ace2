#pragma once
// --guard: keeps the listed programs from running until it is ended.

namespace pestrel {

struct CommandLine;
class Platform;

// Runs the guard over `platform`, printing one line per action as it happens; the exit status.
int RunGuard(const CommandLine& command, Platform& platform);

} // namespace pestrel
