#include "ui/PassPreview.h"

#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "engine/RepairReport.h"
#include "engine/WorkFiles.h"
#include "platform/DryRunPlatform.h"
#include "ui/PassRules.h"

namespace pestrel {

KillPassPreview PreviewKillPass(Platform& machine, std::vector<std::string> entries) {
    DryRunPlatform dryRun(machine);
    Context context(dryRun);
    InitialiseContext(context);
    const PassRules rules = LoadPassRules(context);
    context.contentRules = rules.rules.get();
    context.cleanAutostart = ReadCleanAutostartChoice(context);
    FixedList list(std::move(entries));
    PassLog log;
    RunKillPass(context, list, log);
    RepairReport repairs(dryRun, log);
    RepairSystemSettings(repairs);
    return {std::move(log.actions), rules.problems};
}

} // namespace pestrel
