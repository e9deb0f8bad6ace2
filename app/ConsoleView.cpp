#include "app/ConsoleView.h"

#include "app/ActionLine.h"

namespace pestrel {

std::optional<std::string> ConsoleView::entry(int index) {
    if (index < 0 || index >= entryCount())
        return std::nullopt;
    return entries_[static_cast<std::size_t>(index)];
}

void ConsoleView::reportAction(const PassAction& action) {
    PrintLine(ActionLine(action));
    ++(action.failed ? failed_ : counts_[action.verb]);
}

std::string ConsoleView::summary(bool finished) const {
    std::string line = "summary\tentries=" + std::to_string(entries_.size());
    for (const auto& [verb, count] : counts_)
        line += '\t' + verb + '=' + std::to_string(count);
    line += "\tfailed=" + std::to_string(failed_);
    return line + (finished ? "\tfinished" : "\tended-early");
}

} // namespace pestrel
