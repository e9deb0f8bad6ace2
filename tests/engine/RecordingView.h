#pragma once
// A virus list window for the kill pass, in memory, remembering what the pass did to it.

#include "engine/KillPass.h"

#include <functional>
#include <string>
#include <vector>

namespace pestrel::test {

class RecordingView : public KillPassView {
public:
    explicit RecordingView(std::vector<std::string> list) : entries(std::move(list)) {}

    int entryCount() override { return static_cast<int>(entries.size()); }
    std::optional<std::string> entry(int index) override {
        if (beforeEntry)
            beforeEntry(index);
        if (index < 0 || index >= entryCount())
            return std::nullopt;
        return entries[static_cast<std::size_t>(index)];
    }
    int marker() override { return currentMarker; }
    void setMarker(int index) override {
        currentMarker = index;
        markers.push_back(index);
    }
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void enableKillButton() override { ++killButtonEnabled; }
    void reportAction(const PassAction& action) override { actions.push_back(action); }
    bool anyFailed() const {
        for (const PassAction& action : actions) {
            if (action.failed)
                return true;
        }
        return false;
    }

    std::vector<std::string> entries;
    std::function<void(int)> beforeEntry; // runs before entry i is read (the user acting)
    int currentMarker = -1;
    std::vector<int> markers;
    std::vector<std::string> statusTexts;
    int killButtonEnabled = 0;
    std::vector<PassAction> actions;
};

} // namespace pestrel::test
