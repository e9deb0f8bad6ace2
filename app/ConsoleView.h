#pragma once
// The kill pass as the command line shows it: the list comes from a file, every action is
// printed as it happens, and a summary closes the run.

#include "engine/KillPass.h"

#include <map>
#include <string>
#include <vector>

namespace pestrel {

class ConsoleView : public KillPassView {
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
    virtual std::string summary(bool finished) const;

protected:
    // entries, then the count of each verb seen, then failed.
    std::vector<std::pair<std::string, int>> counts() const;

private:
    // The printed line of one action.
    virtual std::string line(const PassAction& action) const;

    std::vector<std::string> entries_;
    int marker_ = -1;
    std::map<std::string, int> counts_;
    int failed_ = 0;
};

} // namespace pestrel
