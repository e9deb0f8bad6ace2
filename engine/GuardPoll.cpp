#include "engine/GuardPoll.h"

#include "engine/Context.h"
#include "engine/GuardList.h"
#include "engine/GuardSteps.h"
#include "engine/PassFolders.h"
#include "engine/WatchedFolders.h"
#include "platform/Platform.h"

#include <memory>

namespace pestrel {
namespace {

void LookThroughFolders(Context& context, PassFolders& folders, KillPassView& view,
                        const GuardList& list) {
    for (const std::string& folder : WatchedFolders(context)) {
        const std::unique_ptr<HeldFolder> held = context.platform.holdFolder(folder);
        const std::optional<FolderEntries> entries =
            held ? held->entries() : std::optional<FolderEntries>();
        for (const std::string& name : entries ? entries->files : std::vector<std::string>()) {
            if (list.entryFor(name))
                RemoveDroppedFile(context, folders, view, list, folder, name);
        }
    }
}

} // namespace

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
            LookThroughFolders(context, folders, view, list);
        }
        programs.run(context, folders, view, list);
        context.platform.sleepMs(kGuardPollMs);
    }
}

} // namespace pestrel
