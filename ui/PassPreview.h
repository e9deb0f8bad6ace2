#pragma once
// The preview of a kill pass: the pass and the repairs over a layer that records every change
// instead of making it, the same dry run as the command line's.

#include "engine/PassAction.h"

#include <QString>
#include <string>
#include <vector>

namespace pestrel {

class Platform;

struct KillPassPreview {
    std::vector<PassAction> actions; // in order
    QString ruleProblems;            // the rule files the pass would leave out, as PassRules says
};

// Every change the kill button would make to `machine` for `entries`; nothing changes. Runs on
// any thread; `machine` must be safe to use from it.
KillPassPreview PreviewKillPass(Platform& machine, std::vector<std::string> entries);

} // namespace pestrel
