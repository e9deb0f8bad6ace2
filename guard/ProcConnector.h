#pragma once
// The kernel's word on every program start, as it happens (the process connector, as root).

#include "platform/posix/ProcessEvents.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace pestrel::guard {

class ProcConnector {
public:
    // Listening; null when the kernel refuses (no root, no connector).
    static std::unique_ptr<ProcConnector> open();

    int descriptor() const { return events_->descriptor(); }
    // The processes that started a program since the last call, without waiting. Starts lost to
    // an overflow are not told: the next poll sees their processes.
    std::vector<std::uint32_t> takeStarts();

private:
    explicit ProcConnector(std::unique_ptr<ProcessEvents> events) : events_(std::move(events)) {}
    std::unique_ptr<ProcessEvents> events_;
};

} // namespace pestrel::guard
