#pragma once
// The preview of a kill pass: the pass and the repairs over a layer that records every change
// instead of making it, the same dry run as the command line's.

#include "engine/PassAction.h"

#include <string>
#include <vector>

namespace pestrel {

class Platform;

// Every change the kill button would make to `machine` for `entries`, in order; nothing changes.
// Runs on any thread; `machine` must be safe to use from it.
std::vector<PassAction> PreviewKillPass(Platform& machine, std::vector<std::string> entries);

} // namespace pestrel
