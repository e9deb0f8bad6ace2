#pragma once
// The kill pass as the command line shows it: the list comes from a file, every action is
// printed as it happens, and a summary closes the run.

#include "engine/KillPass.h"

#include <map>
#include <string>
#include <vector>

namespace pestrel {

class ConsoleView final : public KillPassView {
public:
    explicit ConsoleView(std::vector<std::string> entries) : entries_(std::move(entries)) {}

    int entryCount() override { return static_cast<int>(entries_.size()); }
    std::optional<std::string> entry(int index) override;
    int marker() override { return marker_; }
    void setMarker(int index) override { marker_ = index; }
    void setStatusText(const std::string&) override {}
    void enableKillButton() override {}
    void reportAction(const PassAction& action) override;

    bool anyFailed() const { return failed_ > 0; }
    // summary, entries=N, one count per verb seen, failed=N, then finished or ended-early.
    std::string summary(bool finished) const;

private:
    std::vector<std::string> entries_;
    int marker_ = -1;
    std::map<std::string, int> counts_;
    int failed_ = 0;
};

} // namespace pestrel
