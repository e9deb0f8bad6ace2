#include "guard/GuardLoop.h"

#include "engine/Context.h"
#include "engine/GuardList.h"
#include "engine/GuardSteps.h"
#include "engine/KillPass.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/WatchedFolders.h"
#include "guard/CodeEnder.h"
#include "guard/ExecDenier.h"
#include "guard/FolderWatch.h"
#include "guard/ProcConnector.h"
#include "guard/SignalReader.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <set>
#include <unistd.h>

namespace pestrel::guard {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kPollPeriod{50};
// After a Wine loader starts, its Windows program is looked for this often, this long: Wine
// names the program only once it has loaded it, which on a busy machine takes seconds.
constexpr milliseconds kBurstPeriod{25};
constexpr milliseconds kBurstLength{10000};
// The start-up places are read again at most once this long after their last read: changes that
// come faster are taken together, so that another user's writes cannot keep the guard busy.
constexpr milliseconds kPlacesQuiet{1000};

// The process's mount table, open to hear of its changes.
class MountTable {
public:
    MountTable() : fd_(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {}
    ~MountTable() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    MountTable(const MountTable&) = delete;
    MountTable& operator=(const MountTable&) = delete;
    int descriptor() const { return fd_; }

private:
    int fd_;
};

// Whether process `id` runs Wine's loader (wine, wine64, wine-preloader, wine64-preloader).
bool RunsWineLoader(std::uint32_t id) {
    char link[32], target[4096];
    std::snprintf(link, sizeof link, "/proc/%u/exe", id);
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    const std::string path(target, length);
    return path.compare(FolderOf(path).size(), 4, "wine") == 0;
}

// A start refused for a file whose name the kernel could not give, by its device and number.
std::string Unnamed(const DeniedStart& start) {
    return "device " + std::to_string(start.identity.device) + " file " +
           std::to_string(start.identity.file);
}

// One system kept clean, with what the guard holds for it.
struct GuardedSystem {
    explicit GuardedSystem(const SystemSetup& setup)
        : context(*setup.context), setup(setup), folders(HoldPassFolders(context)) {}

    bool holdsFile(const std::string& path) const {
        return !setup.filesFolder.empty() && path.starts_with(setup.filesFolder);
    }

    // The start-up places, read now and the next read set for when the quiet time allows.
    void readPlaces(PassSink& sink, const GuardList& list) {
        CleanAutostartPlaces(context, folders, sink, list);
        placesDue = Clock::time_point::max();
        placesRead = Clock::now();
    }
    void placesChanged() { placesDue = std::min(placesDue, placesRead + kPlacesQuiet); }

    Context& context;
    const SystemSetup& setup;
    PassFolders folders;
    ListedProgramRounds programs;
    std::set<std::string> watchedFolders, autostartFolders, registryFiles;
    Clock::time_point placesDue = Clock::time_point::max(), placesRead;
};

class Guard {
public:
    Guard(PassSink& sink, const GuardSetup& setup,
          const std::function<void(GuardNotice, const std::string&)>& notice)
        : sink_(sink), setup_(setup), notice_(notice) {
        systems_.reserve(setup.systems.size());
        for (const SystemSetup& system : setup.systems) {
            systems_.emplace_back(system);
            winePrograms_ = winePrograms_ || system.winePrograms;
        }
    }

    int run(std::vector<std::string> lines) {
        if (signals_.descriptor() < 0 || watch_.descriptor() < 0)
            return 1;
        list_ = std::make_shared<const GuardList>(lines);
        // Watches first: once the guard says it guards, a change to the list is seen.
        watchFolders();
        startDenying();
        for (GuardedSystem& system : systems_) {
            system.programs.run(system.context, system.folders, sink_, *list_);
            RemoveListedFilesFromWatchedFolders(system.context, system.folders, sink_, *list_);
            system.readPlaces(sink_, *list_);
        }
        // Said once what lay there already is gone: whatever comes after is heard of.
        notice_(denier_ ? GuardNotice::Denying : GuardNotice::EndingOnly, notDenying_);
        Clock::time_point nextRound = Clock::now() + kPollPeriod;
        for (;;) {
            // The mount table's descriptor is readable when something is mounted or unmounted.
            pollfd watched[5] = {{signals_.descriptor(), POLLIN, 0},
                                 {queue_.readyDescriptor(), POLLIN, 0},
                                 {watch_.descriptor(), POLLIN, 0},
                                 {connector_ ? connector_->descriptor() : -1, POLLIN, 0},
                                 {denier_ ? mounts_.descriptor() : -1, POLLPRI, 0}};
            const bool rounds = polling_ || Clock::now() < burstEnd_;
            const Clock::time_point wake =
                std::min(rounds ? nextRound : Clock::time_point::max(), placesDue());
            // Rounded up: a wait rounded down to nothing would spin until the round is due.
            const auto wait = std::chrono::ceil<milliseconds>(wake - Clock::now());
            const int timeout = wake == Clock::time_point::max()
                                    ? -1
                                    : static_cast<int>(std::max<long>(0, wait.count()));
            if (::poll(watched, 5, timeout) < 0 && errno != EINTR)
                return 1;
            if (watched[0].revents && !takeSignals())
                break;
            if (watched[1].revents)
                removeDenied();
            if (watched[2].revents)
                removeArrivals();
            if (watched[3].revents)
                lookAtStarts();
            if (watched[4].revents)
                denier_->watchNewFileSystems(reportSkipped(), [this](const std::string& point) {
                    notice_(GuardNotice::FileSystemAdded, point);
                });
            readDuePlaces();
            if (rounds && Clock::now() >= nextRound) {
                runRounds();
                // On the beat, unless the round took longer than the beat.
                nextRound =
                    std::max(nextRound + (polling_ ? kPollPeriod : kBurstPeriod), Clock::now());
            } else if (!rounds) {
                nextRound = Clock::now();
            }
        }
        notice_(GuardNotice::Stopping, "");
        denier_.reset(); // the marks go first
        ender_.reset();
        removeDenied();
        return 0;
    }

private:
    void startDenying() {
        notDenying_ = "not run as root";
        if (::geteuid() == 0 &&
            (denier_ = ExecDenier::start(list_, queue_, reportSkipped(), notDenying_)))
            notDenying_.clear();
        if (denier_)
            ender_ = CodeEnder::start(list_, queue_);
        if (denier_ && winePrograms_)
            connector_ = ProcConnector::open();
        polling_ = !denier_ || (winePrograms_ && !connector_);
    }

    ExecDenier::SkipReport reportSkipped() {
        return [this](const std::string& mountPoint, const std::string& reason) {
            notice_(GuardNotice::FileSystemSkipped, mountPoint + ": " + reason);
        };
    }

    void watchFolders() {
        for (GuardedSystem& system : systems_) {
            for (const std::string& folder : WatchedFolders(system.context))
                addWatch(folder, system.watchedFolders);
            // Start-up folders that do not exist now are looked at with the registry's next
            // change.
            std::error_code missing;
            for (const std::string& folder : AutostartFolders(system.context)) {
                if (std::filesystem::is_directory(folder, missing))
                    addWatch(folder, system.autostartFolders);
            }
            for (const std::string& file : system.setup.registryFiles) {
                system.registryFiles.insert(file);
                addWatch(FolderOf(file), otherFolders_);
            }
        }
        if (!setup_.listPath.empty())
            addWatch(FolderOf(setup_.listPath), otherFolders_);
    }

    void addWatch(const std::string& folder, std::set<std::string>& into) {
        if (!added_.count(folder)) {
            if (!watch_.add(folder)) {
                notice_(GuardNotice::NotWatched, folder);
                return;
            }
            added_.insert(folder);
        }
        into.insert(folder);
    }

    // False when the guard is to stop.
    bool takeSignals() {
        bool go = true;
        for (int signal : signals_.take()) {
            if (signal == SIGHUP)
                reload();
            else
                go = false;
        }
        return go;
    }

    void reload() {
        std::optional<std::vector<std::string>> lines = setup_.readList();
        if (!lines) {
            notice_(GuardNotice::ListUnreadable, setup_.listPath);
            return;
        }
        list_ = std::make_shared<const GuardList>(*lines);
        if (denier_)
            denier_->setList(list_);
        if (ender_)
            ender_->setList(list_);
        notice_(GuardNotice::ListReloaded, std::to_string(list_->entries().size()));
        // What the new names name may already run or lie in the watched folders.
        runRounds();
        removeListedFiles();
    }

    void runRounds() {
        for (GuardedSystem& system : systems_)
            system.programs.run(system.context, system.folders, sink_, *list_);
    }

    void removeListedFiles() {
        for (GuardedSystem& system : systems_)
            RemoveListedFilesFromWatchedFolders(system.context, system.folders, sink_, *list_);
    }

    // The system whose files folder holds `path` (the innermost, for a prefix inside another's
    // drive), else the first.
    GuardedSystem& systemHolding(const std::string& path) {
        GuardedSystem* holding = &systems_.front();
        std::size_t depth = 0;
        for (GuardedSystem& system : systems_) {
            if (system.holdsFile(path) && system.setup.filesFolder.size() > depth) {
                holding = &system;
                depth = system.setup.filesFolder.size();
            }
        }
        return *holding;
    }

    void removeDenied() {
        for (const DeniedStart& start : queue_.takeAll()) {
            const bool removable = start.onDisk && !start.entry.empty();
            if (start.endedProcess)
                sink_.report({PassVerb::Terminate,
                              {std::to_string(start.endedProcess), start.path},
                              !start.ended});
            else if (!removable)
                sink_.report(
                    {PassVerb::Denied, {start.path.empty() ? Unnamed(start) : start.path}});
            if (!removable)
                continue;
            GuardedSystem& system = systemHolding(start.path);
            if (start.endedProcess)
                RemoveRefusedFile(system.context, system.folders, sink_, start.entry, start.path,
                                  start.identity);
            else
                RemoveDeniedFile(system.context, system.folders, sink_, start.entry, start.path,
                                 start.identity);
        }
    }

    Clock::time_point placesDue() const {
        Clock::time_point due = Clock::time_point::max();
        for (const GuardedSystem& system : systems_)
            due = std::min(due, system.placesDue);
        return due;
    }

    void readDuePlaces() {
        for (GuardedSystem& system : systems_) {
            if (system.placesDue <= Clock::now())
                system.readPlaces(sink_, *list_);
        }
    }

    void removeArrivals() {
        bool listChanged = false;
        std::vector<bool> registryChanged(systems_.size());
        for (const FolderWatch::Arrival& arrival : watch_.takeArrivals()) {
            const std::string path = arrival.folder + arrival.name;
            listChanged = listChanged || path == setup_.listPath;
            for (std::size_t at = 0; at < systems_.size(); ++at) {
                GuardedSystem& system = systems_[at];
                if (system.registryFiles.count(path) ||
                    system.autostartFolders.count(arrival.folder))
                    registryChanged[at] = true;
                if (system.watchedFolders.count(arrival.folder))
                    RemoveDroppedFile(system.context, system.folders, sink_, *list_, arrival.folder,
                                      arrival.name);
            }
        }
        if (watch_.takeOverflow())
            removeListedFiles();
        if (listChanged)
            reload();
        for (std::size_t at = 0; at < systems_.size(); ++at) {
            if (registryChanged[at])
                systems_[at].placesChanged();
        }
    }

    void lookAtStarts() {
        for (std::uint32_t id : connector_->takeStarts()) {
            if (RunsWineLoader(id))
                burstEnd_ = Clock::now() + kBurstLength;
        }
    }

    PassSink& sink_;
    const GuardSetup& setup_;
    const std::function<void(GuardNotice, const std::string&)>& notice_;
    std::vector<GuardedSystem> systems_;
    bool winePrograms_ = false;
    SignalReader signals_; // before any thread starts, so that none takes the signals
    DeniedQueue queue_;
    FolderWatch watch_;
    MountTable mounts_;
    std::shared_ptr<const GuardList> list_;
    std::unique_ptr<ExecDenier> denier_;
    std::unique_ptr<CodeEnder> ender_;
    std::unique_ptr<ProcConnector> connector_;
    bool polling_ = true;
    std::string notDenying_; // why starts are not refused
    Clock::time_point burstEnd_;
    std::set<std::string> added_, otherFolders_;
};

} // namespace

int RunGuardLoop(PassSink& sink, const GuardSetup& setup,
                 const std::function<void(GuardNotice, const std::string&)>& notice) {
    const std::optional<std::vector<std::string>> lines = setup.readList();
    if (!lines || setup.systems.empty())
        return 1;
    Guard guard(sink, setup, notice);
    return guard.run(*lines);
}

} // namespace pestrel::guard
