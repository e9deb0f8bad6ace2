#pragma once
// Answers every process snapshot from one read of the process table, so that a listing which
// asks for the process names and then for their program paths reads the table once and sees
// one moment of it.

#include "ui/ForwardingPlatform.h"

#include <optional>

namespace pestrel {

class OneSnapshotPlatform final : public ForwardingPlatform {
public:
    using ForwardingPlatform::ForwardingPlatform;

    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override;

private:
    std::optional<std::vector<ProcessRecord>> snapshot_;
};

} // namespace pestrel
