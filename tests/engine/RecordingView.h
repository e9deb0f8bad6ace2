#pragma once
// A virus list for the kill pass, in memory, remembering what the pass read and reported.

#include "engine/KillPass.h"

#include <functional>
#include <string>
#include <vector>

namespace pestrel::test {

class RecordingView : public PassList, public PassSink {
public:
    explicit RecordingView(std::vector<std::string> list) : entries(std::move(list)) {}

    int count() override {
        ++countReads;
        return static_cast<int>(entries.size());
    }
    std::optional<std::string> entry(int index) override {
        if (beforeEntry)
            beforeEntry(index);
        if (countReads > 0)
            walked.push_back(index);
        if (index < 0 || index >= static_cast<int>(entries.size()))
            return std::nullopt;
        return entries[static_cast<std::size_t>(index)];
    }
    void report(const PassAction& action) override {
        if (action.verb == PassVerb::Status)
            statusTexts.push_back(action.fields.front());
        else
            actions.push_back(action);
    }
    bool anyFailed() const {
        for (const PassAction& action : actions) {
            if (action.failed)
                return true;
        }
        return false;
    }

    std::vector<std::string> entries;
    std::function<void(int)> beforeEntry; // runs before entry i is read (the user acting)
    int countReads = 0;
    std::vector<int> walked; // the entries read once the number was read, in order
    std::vector<std::string> statusTexts;
    std::vector<PassAction> actions;
};

} // namespace pestrel::test
