#include "ui/RunExecute.h"

#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/WorkFiles.h"
#include "ui/EngineText.h"
#include "ui/MainUnit.h"
#include "ui/PassRules.h"
#include "ui/WorkerGate.h"

#include <QTimer>
#include <chrono>
#include <memory>
#include <mutex>

namespace pestrel {
namespace {

using Clock = std::chrono::steady_clock;
// A marker move is shown at most once a frame; the latest one wins.
constexpr auto kFrame = std::chrono::milliseconds(16);

// The marker as the worker last moved it, until the window has shown it.
struct MarkerMove {
    std::mutex mutex;
    std::optional<int> pending;
    bool posted = false; // a call that shows `pending` is on its way to the window
    Clock::time_point lastPosted;
};

// On the UI thread: shows the latest marker move. One that comes meanwhile is shown a frame
// later. The move is shared with the link, which may have ended since.
void ShowLatestMarker(const std::shared_ptr<MarkerMove>& marker, TMainForm& form) {
    std::optional<int> shown;
    {
        std::lock_guard lock(marker->mutex);
        shown = marker->pending;
    }
    if (shown && !form.workers().closing())
        form.setVirusMarker(*shown);
    std::lock_guard lock(marker->mutex);
    if (marker->pending == shown)
        marker->pending.reset();
    marker->posted = marker->pending.has_value();
    if (marker->posted) {
        marker->lastPosted = Clock::now();
        QTimer::singleShot(kFrame, &form, [marker, &form] { ShowLatestMarker(marker, form); });
    }
}

// The window as a worker reaches it. Most calls run on the UI thread while the worker waits;
// once the gate closes, they are refused and answer their fallback. What the pass asks for each
// name costs the window nothing: it reads the list's entries, shared with the window and taken
// again only when the list has changed, and its marker moves are handed over without waiting.
// The pass's walk moves the marker to each entry it reads; its status texts are shown.
class WindowLink final : public PassList, public PassSink {
public:
    explicit WindowLink(TMainForm& form) : form_(form), gate_(form.workers()) {}
    ~WindowLink() override { flushMarker(); }

    int count() override {
        shareEntries();
        walking_ = true;
        const int count = static_cast<int>(entries_->size());
        setMarker(count - 1);
        return count;
    }
    // The entry as the list holds it now: the entries shared serve while the list is unchanged.
    std::optional<std::string> entry(int index) override {
        if (gate_.closing())
            return std::nullopt;
        if (!entries_ || form_.virusListVersion() != version_)
            shareEntries();
        if (index < 0 || index >= static_cast<int>(entries_->size()))
            return std::nullopt;
        if (walking_)
            setMarker(index);
        return (*entries_)[static_cast<std::size_t>(index)];
    }
    void report(const PassAction& action) override {
        if (action.verb == PassVerb::Status)
            setStatusText(action.fields.front());
    }

    // The end of a pass that went through: the marker on the first entry, and the completion
    // message for `pauseMs`.
    void finishPass(Platform& platform, unsigned pauseMs) {
        setMarker(0);
        setStatusText(kKillPassDoneText);
        platform.sleepMs(pauseMs);
        setStatusText(std::string());
    }
    // The end of a pass cut short: the kill button enabled again, and no status text.
    void endPassEarly() {
        tell([this] { form_.enableKillButton(); });
        setStatusText(std::string());
    }
    void setStatusText(const std::string& text) {
        tell([this, &text] { form_.setStatusText(EngineText(text)); });
    }
    void showRuleProblems(const QString& text) {
        tell([this, &text] { form_.setRuleProblems(text); });
    }

    bool statusTextEmpty() {
        return ask([this] { return form_.statusText().isEmpty(); }, true);
    }
    void clearProcessList() {
        tell([this] { form_.clearProcessList(); });
    }
    void setAllPathsEnabled(bool enabled) {
        tell([this, enabled] { form_.setAllPathsEnabled(enabled); });
    }

private:
    // A marker move still held back goes out before anything else reaches the window.
    template <typename Action> void tell(Action action) {
        flushMarker();
        if (gate_.closing())
            return;
        QMetaObject::invokeMethod(
            &form_,
            [this, &action] {
                if (!gate_.closing())
                    action();
            },
            Qt::BlockingQueuedConnection);
    }
    template <typename Action, typename Result> Result ask(Action action, Result fallback) {
        Result result = std::move(fallback);
        tell([&] { result = action(); });
        return result;
    }

    void shareEntries() {
        entries_ = std::make_shared<const std::vector<std::string>>();
        tell([this] {
            entries_ = form_.virusEntries();
            version_ = form_.virusListVersion();
        });
    }

    // Also when a later frame's showing is already planned: what follows (the completion message,
    // the end of the pass) must find the marker where the pass left it.
    void flushMarker() {
        std::lock_guard lock(marker_->mutex);
        if (marker_->pending)
            postMarker();
    }
    void setMarker(int index) {
        std::lock_guard lock(marker_->mutex);
        marker_->pending = index;
        if (!marker_->posted && Clock::now() - marker_->lastPosted >= kFrame)
            postMarker();
    }
    // Called with the marker's mutex held.
    void postMarker() {
        marker_->posted = true;
        marker_->lastPosted = Clock::now();
        QMetaObject::invokeMethod(
            &form_, [marker = marker_, form = &form_] { ShowLatestMarker(marker, *form); },
            Qt::QueuedConnection);
    }

    TMainForm& form_;
    WorkerGate& gate_;
    std::shared_ptr<const std::vector<std::string>> entries_;
    std::uint64_t version_ = 0;
    bool walking_ = false; // the pass has read the number of entries and walks the list
    const std::shared_ptr<MarkerMove> marker_ = std::make_shared<MarkerMove>();
};

void RunJob(WorkerJob job, Context& context, WorkerGate& gate, const RunWaits& waits,
            WindowLink& window) {
    switch (job) {
    case WorkerJob::KillPass: {
        const PassRules rules = LoadPassRules(context);
        window.showRuleProblems(rules.problems);
        Context pass = context;
        pass.contentRules = rules.rules.get();
        pass.cleanAutostart = ReadCleanAutostartChoice(context);
        if (RunKillPass(pass, window, window))
            window.finishPass(context.platform, waits.killPassDoneMs);
        else
            window.endPassEarly();
        break;
    }
    case WorkerJob::ClearProcessList:
        if (gate.wait(waits.clearProcessListMs))
            window.clearProcessList();
        break;
    case WorkerJob::LockAllPathsButton:
        window.setAllPathsEnabled(false);
        gate.wait(waits.lockAllPathsMs);
        window.setAllPathsEnabled(true);
        break;
    case WorkerJob::ClearStatusText:
        if (window.statusTextEmpty())
            break;
        gate.wait(waits.clearStatusMs);
        if (!window.statusTextEmpty())
            window.setStatusText(std::string());
        break;
    }
}

} // namespace

TRunExecute::TRunExecute(TMainForm& form, WorkerJob job) : form_(form), job_(job) {}

void TRunExecute::run() {
    Context& context = form_.context();
    WindowLink window(form_);
    // The engine answers failures; what still escapes (memory running out) ends the job here,
    // and a kill pass cut short leaves the window as one that ended early would.
    try {
        EnsureBackupFolder(context);
        RunJob(job_, context, form_.workers(), form_.waits(), window);
    } catch (...) {
        if (job_ == WorkerJob::KillPass)
            window.endPassEarly();
    }
}

} // namespace pestrel
