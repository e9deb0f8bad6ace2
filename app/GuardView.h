#pragma once
// The guard's actions as the command line prints them: one line each, written at once, so that
// a journal reading standard output as a pipe keeps each line's time.

#include "app/ActionLine.h"
#include "engine/KillPass.h"

#include <cstdio>
#include <string>

namespace pestrel {

inline void SayNow(const std::string& line) {
    PrintLine(line);
    std::fflush(stdout);
}

// The guard has no list window to keep: only the actions count.
class GuardView final : public KillPassView {
public:
    int entryCount() override { return 0; }
    std::optional<std::string> entry(int) override { return std::nullopt; }
    int marker() override { return -1; }
    void setMarker(int) override {}
    void setStatusText(const std::string&) override {}
    void enableKillButton() override {}
    void reportAction(const PassAction& action) override { SayNow(ActionLine(action)); }
};

} // namespace pestrel
