#pragma once
// The rules a kill pass of the window matches files with: the *.yar files of the Rules folder
// beside its list, compiled when the pass starts, so that a changed folder counts from the next
// pass on. The Windows backend matches by hash only and has none.

#include "engine/ContentScan.h"

#include <QString>
#include <memory>

namespace pestrel {

struct Context;

struct PassRules {
    std::unique_ptr<ContentRules> rules; // null when none compiled
    QString problems; // the rule files left out and why, in the window's language; empty if none
};

PassRules LoadPassRules(const Context& context);

} // namespace pestrel
