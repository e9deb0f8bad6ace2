#include "ui/RunExecute.h"

#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/WorkFiles.h"
#include "ui/EngineText.h"
#include "ui/MainUnit.h"
#include "ui/PassRules.h"
#include "ui/WorkerGate.h"

namespace pestrel {
namespace {

// The window as a worker reaches it: each call runs on the UI thread while the worker waits.
// Once the gate closes, calls are refused and answer their fallback.
class WindowLink final : public KillPassView {
public:
    explicit WindowLink(TMainForm& form) : form_(form), gate_(form.workers()) {}

    int entryCount() override {
        return ask([this] { return form_.virusEntryCount(); }, 0);
    }
    std::optional<std::string> entry(int index) override {
        std::optional<std::string> text;
        tell([&] { text = form_.virusEntry(index); });
        return text;
    }
    int marker() override {
        return ask([this] { return form_.virusMarker(); }, -1);
    }
    void setMarker(int index) override {
        tell([this, index] { form_.setVirusMarker(index); });
    }
    void setStatusText(const std::string& text) override {
        tell([this, &text] { form_.setStatusText(EngineText(text)); });
    }
    void enableKillButton() override {
        tell([this] { form_.enableKillButton(); });
    }
    void showStatusText(const QString& text) {
        tell([this, &text] { form_.setStatusText(text); });
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
    template <typename Action> void tell(Action action) {
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

    TMainForm& form_;
    WorkerGate& gate_;
};

void RunJob(WorkerJob job, Context& context, WorkerGate& gate, const RunWaits& waits,
            WindowLink& window) {
    switch (job) {
    case WorkerJob::KillPass: {
        const PassRules rules = LoadPassRules(context);
        if (!rules.problems.isEmpty())
            window.showStatusText(rules.problems);
        Context pass = context;
        pass.contentRules = rules.rules.get();
        RunKillPass(pass, window, waits.killPassDoneMs);
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
        if (job_ == WorkerJob::KillPass) {
            window.enableKillButton();
            window.setStatusText(std::string());
        }
    }
}

} // namespace pestrel
