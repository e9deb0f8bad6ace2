#include "ui/OneSnapshotPlatform.h"

namespace pestrel {

std::vector<ProcessRecord> OneSnapshotPlatform::processSnapshot(SnapshotDetail detail) {
    if (!snapshot_)
        snapshot_ = inner_.processSnapshot(SnapshotDetail::WithPaths);
    std::vector<ProcessRecord> records = *snapshot_;
    if (detail == SnapshotDetail::Names) {
        for (ProcessRecord& record : records)
            record.exePath.reset();
    }
    return records;
}

} // namespace pestrel
