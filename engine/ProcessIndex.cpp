#include "engine/ProcessIndex.h"

namespace pestrel {

ProcessIndex::ProcessIndex(Platform& platform, std::chrono::milliseconds maxAge)
    : platform_(platform), maxAge_(maxAge) {}

const ProcessFolderIndex& ProcessIndex::fresh() {
    // The age counts from before the walk, so a program started while it ran is not missed for
    // longer than the limit.
    const Clock::time_point now = Clock::now();
    if (!index_ || now - takenAt_ >= maxAge_) {
        index_.emplace(platform_.processSnapshot(SnapshotDetail::WithPaths));
        takenAt_ = now;
    }
    return *index_;
}

std::vector<ProcessRecord> ProcessIndex::snapshotForEnding(const std::string& name) {
    if (!fresh().program(name))
        return {};
    return platform_.processSnapshot(SnapshotDetail::ForEnding);
}

} // namespace pestrel
