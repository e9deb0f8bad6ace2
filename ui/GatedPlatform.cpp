#include "ui/GatedPlatform.h"

#include "ui/WorkerGate.h"

namespace pestrel {

void GatedPlatform::sleepMs(std::uint32_t milliseconds) {
    gate_.wait(milliseconds);
}

} // namespace pestrel
