#pragma once
// --guard: keeps the listed programs from running until it is ended.

#include <vector>

namespace pestrel {

struct CommandLine;
class Platform;

// Runs the guard over `platform`, printing one line per action as it happens; the exit status.
int RunGuard(const CommandLine& command, Platform& platform);

#ifndef _WIN32
// The same over several systems at once: the platform of each --wine-prefix, in their order.
int RunGuard(const CommandLine& command, const std::vector<Platform*>& platforms);
#endif

} // namespace pestrel
