#include "guard/ProcConnector.h"

namespace pestrel::guard {

std::unique_ptr<ProcConnector> ProcConnector::open() {
    std::unique_ptr<ProcessEvents> events = ProcessEvents::Open();
    if (!events)
        return nullptr;
    return std::unique_ptr<ProcConnector>(new ProcConnector(std::move(events)));
}

std::vector<std::uint32_t> ProcConnector::takeStarts() {
    std::vector<std::uint32_t> started;
    bool lost = false;
    for (const ProcessEvent& event : events_->take(lost)) {
        if (event.kind == ProcessEvent::Kind::Exec)
            started.push_back(event.process);
    }
    return started;
}

} // namespace pestrel::guard
