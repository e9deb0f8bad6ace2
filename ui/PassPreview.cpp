#include "ui/PassPreview.h"

#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "engine/RepairReport.h"
#include "engine/WorkFiles.h"
#include "platform/DryRunPlatform.h"
#include "ui/PassRules.h"

namespace pestrel {
namespace {

// The list as it was when the preview was asked for; the changes gathered in order.
class RecordingView final : public KillPassView {
public:
    explicit RecordingView(std::vector<std::string> entries) : entries_(std::move(entries)) {}

    int entryCount() override { return static_cast<int>(entries_.size()); }
    std::optional<std::string> entry(int index) override {
        if (index < 0 || index >= entryCount())
            return std::nullopt;
        return entries_[static_cast<std::size_t>(index)];
    }
    int marker() override { return marker_; }
    void setMarker(int index) override { marker_ = index; }
    void setStatusText(const std::string&) override {}
    void enableKillButton() override {}
    void reportAction(const PassAction& action) override { actions.push_back(action); }

    std::vector<PassAction> actions;

private:
    std::vector<std::string> entries_;
    int marker_ = -1;
};

} // namespace

KillPassPreview PreviewKillPass(Platform& machine, std::vector<std::string> entries) {
    DryRunPlatform dryRun(machine);
    Context context(dryRun);
    InitialiseContext(context);
    const PassRules rules = LoadPassRules(context);
    context.contentRules = rules.rules.get();
    context.cleanAutostart = ReadCleanAutostartChoice(context);
    RecordingView view(std::move(entries));
    RunKillPass(context, view, 0);
    RepairReport repairs(dryRun, view);
    RepairSystemSettings(repairs);
    return {std::move(view.actions), rules.problems};
}

} // namespace pestrel
