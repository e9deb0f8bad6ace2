#include "ui/EngineJob.h"

namespace pestrel {

// The boundary of the worker thread: nothing escapes it.
void TEngineJob::run() {
    try {
        job_();
    } catch (...) {
    }
}

} // namespace pestrel
