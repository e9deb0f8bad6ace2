#pragma once
// The running programs a kill pass asks after, name by name. One snapshot of program paths,
// indexed by file name, answers every name until it is older than its freshness limit; then the
// next name takes it again. So a name costs a lookup, not a walk of every process, and a program
// started during the pass is still seen within the limit.

#include "engine/Public.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pestrel {

class ProcessIndex {
public:
    static constexpr std::chrono::milliseconds kMaxAge{50};

    explicit ProcessIndex(Platform& platform, std::chrono::milliseconds maxAge = kMaxAge);

    // When a program of `name` runs, by the name match of the process table, the snapshot that
    // ends processes safely, taken now; empty when none runs. Only then is that snapshot taken,
    // for it costs several calls more for every process on the machine.
    std::vector<ProcessRecord> snapshotForEnding(const std::string& name);

private:
    using Clock = std::chrono::steady_clock;
    const ProcessFolderIndex& fresh();

    Platform& platform_;
    std::chrono::milliseconds maxAge_;
    std::optional<ProcessFolderIndex> index_;
    Clock::time_point takenAt_;
};

} // namespace pestrel
