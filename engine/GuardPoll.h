#pragma once
// The guard where the system cannot be asked about program starts or folder changes: it looks
// at the running programs every 50 ms and ends the listed ones, and looks through the watched
// folders and the list file every second.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct Context;
class KillPassView;

inline constexpr unsigned kGuardPollMs = 50;
inline constexpr int kGuardRoundsPerLook = 20;

// Runs until `stop` is set, checked every round. `readList` gives the list's lines as they are
// now, nothing when it cannot be read (the last list stays); `reloaded` hears how many names a
// changed list holds.
void RunGuardPoll(Context& context, KillPassView& view,
                  const std::function<std::optional<std::vector<std::string>>()>& readList,
                  const std::function<void(std::size_t)>& reloaded, const std::atomic<bool>& stop);

} // namespace pestrel
