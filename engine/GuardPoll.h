#pragma once
// The guard where the system cannot be asked about program starts: it looks at the running
// programs every 50 ms and ends the listed ones. Where the platform tells of changes as they
// happen (ChangeWatch), a listed file that appears in a watched folder goes at once and a changed
// autostart place is cleaned; elsewhere the watched folders are looked through every second.
// The list file is read again every second.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct Context;
class PassSink;

inline constexpr unsigned kGuardPollMs = 50;
inline constexpr int kGuardRoundsPerLook = 20;

// Runs until `stop` is set, checked every round. `readList` gives the list's lines as they are
// now, nothing when it cannot be read (the last list stays); `reloaded` hears how many names a
// changed list holds.
void RunGuardPoll(Context& context, PassSink& sink,
                  const std::function<std::optional<std::vector<std::string>>()>& readList,
                  const std::function<void(std::size_t)>& reloaded, const std::atomic<bool>& stop);

} // namespace pestrel
