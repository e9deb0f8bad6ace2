#pragma once
// A job of the engine that runs off the UI thread, started through the window's worker gate so
// that closing the window ends it at once. The job hands its result back to the window itself
// (a queued call); a failure it throws ends it without a message.

#include <QThread>
#include <functional>

namespace pestrel {

class TEngineJob final : public QThread {
public:
    explicit TEngineJob(std::function<void()> job) : job_(std::move(job)) {}

protected:
    void run() override;

private:
    std::function<void()> job_;
};

} // namespace pestrel
