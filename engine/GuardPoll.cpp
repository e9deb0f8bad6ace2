#include "engine/GuardPoll.h"

#include "engine/Context.h"
#include "engine/GuardList.h"
#include "engine/GuardSteps.h"
#include "engine/PassFolders.h"

namespace pestrel {

void RunGuardPoll(Context& context, KillPassView& view,
                  const std::function<std::optional<std::vector<std::string>>()>& readList,
                  const std::function<void(std::size_t)>& reloaded, const std::atomic<bool>& stop) {
    PassFolders folders = HoldPassFolders(context);
    std::vector<std::string> lines = readList().value_or(std::vector<std::string>());
    GuardList list(lines);
    ListedProgramRounds programs;
    for (int round = 0; !stop; ++round) {
        if (round % kGuardRoundsPerLook == 0) {
            if (std::optional<std::vector<std::string>> now = readList(); now && *now != lines) {
                lines = std::move(*now);
                list = GuardList(lines);
                reloaded(list.entries().size());
            }
            RemoveListedFilesFromWatchedFolders(context, folders, view, list);
        }
        programs.run(context, folders, view, list);
        context.platform.sleepMs(kGuardPollMs);
    }
}

} // namespace pestrel
