#include "app/ConsoleView.h"

#include "app/ActionLine.h"

namespace pestrel {

std::optional<std::string> ConsoleView::entry(int index) {
    if (index < 0 || index >= entryCount())
        return std::nullopt;
    return entries_[static_cast<std::size_t>(index)];
}

void ConsoleView::reportAction(const PassAction& action) {
    PrintLine(line(action));
    ++(action.failed ? failed_ : counts_[action.verb]);
}

std::string ConsoleView::line(const PassAction& action) const {
    return ActionLine(action);
}

std::vector<std::pair<std::string, int>> ConsoleView::counts() const {
    std::vector<std::pair<std::string, int>> counts = {
        {"entries", static_cast<int>(entries_.size())}};
    counts.insert(counts.end(), counts_.begin(), counts_.end());
    counts.emplace_back("failed", failed_);
    return counts;
}

std::string ConsoleView::summary(bool finished) const {
    std::string line = "summary";
    for (const auto& [name, count] : counts())
        line += '\t' + name + '=' + std::to_string(count);
    return line + (finished ? "\tfinished" : "\tended-early");
}

} // namespace pestrel
