#include "engine/GuardPoll.h"

#include "engine/AutostartPlaces.h"
#include "engine/Context.h"
#include "engine/GuardList.h"
#include "engine/GuardSteps.h"
#include "engine/PassFolders.h"
#include "engine/WatchedFolders.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace pestrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A busy registry cleans the autostart places at most this often.
constexpr milliseconds kAutostartCleanPeriod{1000};
// How long after a listed file arrives the watched folders are looked through again.
constexpr milliseconds kLookAgainAfter{1000};

// The guard's hearing of changes: what the watch tells between two rounds over the programs.
class WatchedPlaces {
public:
    WatchedPlaces(Context& context, PassFolders& folders, PassSink& sink,
                  std::unique_ptr<ChangeWatch> watch)
        : context_(context), folders_(folders), sink_(sink), watch_(std::move(watch)) {}

    // What lies there already, before any change is heard of.
    void lookThrough(const GuardList& list) {
        CleanAutostartPlaces(context_, folders_, sink_, list);
        lastClean_ = Clock::now();
        RemoveListedFilesFromWatchedFolders(context_, folders_, sink_, list);
    }

    // Acts on every change heard of until `until`.
    void listen(const GuardList& list, Clock::time_point until) {
        for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
            // Rounded up: a wait rounded down to nothing would spin until the round is due.
            const auto left = std::chrono::ceil<milliseconds>(until - now).count();
            const WatchedChanges changes = watch_->wait(static_cast<std::uint32_t>(left));
            for (const WatchedChanges::Arrival& arrival : changes.arrivals) {
                RemoveDroppedFile(context_, folders_, sink_, list, arrival.folder, arrival.name);
                // A file its writer still holds cannot go yet, and its closing may go unheard
                // of: the folders are looked through again after the last listed arrival.
                if (list.entryFor(arrival.name))
                    lookDue_ = Clock::now() + kLookAgainAfter;
            }
            if (changes.lostTrack || Clock::now() >= lookDue_) {
                lookDue_ = Clock::time_point::max();
                RemoveListedFilesFromWatchedFolders(context_, folders_, sink_, list);
            }
            cleanPending_ = cleanPending_ || changes.autostartChanged;
            if (cleanPending_ && Clock::now() - lastClean_ >= kAutostartCleanPeriod) {
                cleanPending_ = false;
                CleanAutostartPlaces(context_, folders_, sink_, list);
                lastClean_ = Clock::now();
            }
        }
    }

private:
    Context& context_;
    PassFolders& folders_;
    PassSink& sink_;
    std::unique_ptr<ChangeWatch> watch_;
    Clock::time_point lastClean_;
    bool cleanPending_ = false;
    Clock::time_point lookDue_ = Clock::time_point::max();
};

std::unique_ptr<ChangeWatch> WatchGuardedPlaces(Context& context) {
    return context.platform.watchChanges(WatchedFolders(context), AutostartFolders(context),
                                         AutostartKeys(context.platform));
}

} // namespace

void RunGuardPoll(Context& context, PassSink& sink,
                  const std::function<std::optional<std::vector<std::string>>()>& readList,
                  const std::function<void(std::size_t)>& reloaded, const std::atomic<bool>& stop) {
    PassFolders folders = HoldPassFolders(context);
    std::vector<std::string> lines = readList().value_or(std::vector<std::string>());
    GuardList list(lines);
    ListedProgramRounds programs;
    // Watching starts before the first look, so that nothing put there meanwhile is missed.
    std::unique_ptr<ChangeWatch> watch = WatchGuardedPlaces(context);
    std::optional<WatchedPlaces> places;
    if (watch) {
        places.emplace(context, folders, sink, std::move(watch));
        places->lookThrough(list);
    }
    Clock::time_point nextRound = Clock::now();
    for (int round = 0; !stop; ++round) {
        if (round % kGuardRoundsPerLook == 0) {
            bool changed = false;
            if (std::optional<std::vector<std::string>> now = readList(); now && *now != lines) {
                lines = std::move(*now);
                list = GuardList(lines);
                reloaded(list.entries().size());
                changed = true;
            }
            // With a watch, only new names can name files that lie there unheard of.
            if (!places || changed)
                RemoveListedFilesFromWatchedFolders(context, folders, sink, list);
        }
        programs.run(context, folders, sink, list);
        if (places) {
            // On the beat, unless the round took longer than the beat.
            nextRound = std::max(nextRound + milliseconds(kGuardPollMs), Clock::now());
            places->listen(list, nextRound);
        } else {
            context.platform.sleepMs(kGuardPollMs);
        }
    }
}

} // namespace pestrel
