#include "engine/GuardSteps.h"

#include "engine/AutostartPlaces.h"
#include "engine/AutostartRemoval.h"
#include "engine/Context.h"
#include "engine/GuardList.h"
#include "engine/KillPass.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/WatchedFolders.h"

#include <memory>
#include <set>

namespace pestrel {
namespace {

// The held folder of the pass for `path` when it is one of them, else `path` held now into
// `own`; null when it cannot be held.
HeldFolder* Hold(Context& context, PassFolders& folders, const std::string& path,
                 std::unique_ptr<HeldFolder>& own) {
    for (HeldFolder* folder : {folders.windows.get(), folders.system.get()}) {
        if (folder && folder->path() == WithTrailingSeparator(path))
            return folder;
    }
    own = context.platform.holdFolder(path);
    return own.get();
}

} // namespace

bool ListedProgramRounds::run(Context& context, PassFolders& folders, PassSink& sink,
                              const GuardList& list) {
    // The names alone are cheap to read; only a listed one costs the snapshot for ending.
    std::set<std::string> running;
    for (const ProcessRecord& process : context.platform.processSnapshot(SnapshotDetail::Names)) {
        if (const std::string* entry = list.entryFor(process.exeFile))
            running.insert(*entry);
    }
    if (running.empty()) {
        waiting_.clear();
        return false;
    }
    const Clock::time_point now = Clock::now();
    std::map<std::pair<std::uint32_t, std::uint64_t>, Clock::time_point> stillWaiting;
    std::vector<ProcessRecord> ready;
    for (ProcessRecord& record : context.platform.processSnapshot(SnapshotDetail::ForEnding)) {
        if (!list.entryFor(record.exeFile))
            continue;
        const auto key = std::make_pair(record.id, record.startTime);
        const auto seen = waiting_.find(key);
        const Clock::time_point first = seen == waiting_.end() ? now : seen->second;
        if (!record.exePath && now - first < kFileWait)
            stillWaiting.emplace(key, first);
        else
            ready.push_back(std::move(record));
    }
    waiting_ = std::move(stillWaiting);
    for (const std::string& entry : running)
        RemoveRunningProgram(context, folders, sink, entry, ready);
    return true;
}

void RemoveDroppedFile(Context& context, PassFolders& folders, PassSink& sink,
                       const GuardList& list, const std::string& folder, const std::string& name) {
    const std::string* entry = list.entryFor(name);
    if (!entry || !JoinName(folder, name))
        return;
    std::unique_ptr<HeldFolder> own;
    HeldFolder* held = Hold(context, folders, folder, own);
    if (!held)
        return;
    if (const std::optional<FileIdentity> identity = held->fileIdentity(name))
        RemoveListedFileOnce(context, folders, sink, *entry, *held, name, *identity);
}

void RemoveListedFilesFromWatchedFolders(Context& context, PassFolders& folders, PassSink& sink,
                                         const GuardList& list) {
    for (const std::string& folder : WatchedFolders(context)) {
        const std::unique_ptr<HeldFolder> held = context.platform.holdFolder(folder);
        const std::optional<FolderEntries> entries =
            held ? held->entries() : std::optional<FolderEntries>();
        for (const std::string& name : entries ? entries->files : std::vector<std::string>()) {
            if (list.entryFor(name))
                RemoveDroppedFile(context, folders, sink, list, folder, name);
        }
    }
}

void RemoveDeniedFile(Context& context, PassFolders& folders, PassSink& sink,
                      const std::string& entry, const std::string& path,
                      const FileIdentity& identity) {
    sink.report({PassVerb::Denied, {path}});
    RemoveRefusedFile(context, folders, sink, entry, path, identity);
}

void RemoveRefusedFile(Context& context, PassFolders& folders, PassSink& sink,
                       const std::string& entry, const std::string& path,
                       const FileIdentity& identity) {
    const std::string folder = FolderOf(path);
    const std::string name = path.substr(folder.size());
    if (!JoinName(folder, name))
        return;
    std::unique_ptr<HeldFolder> own;
    HeldFolder* held = Hold(context, folders, folder, own);
    // A file already gone, or replaced since its start was refused, is left alone: an earlier
    // refusal of the same file has removed it, or it is no longer what was refused.
    if (held && held->fileIdentity(name) == identity)
        RemoveListedFileOnce(context, folders, sink, entry, *held, name, identity);
}

void CleanAutostartPlaces(Context& context, PassFolders& folders, PassSink& sink,
                          const GuardList& list) {
    // Without the choice, only the start-up values named like an entry go: nothing else is read.
    const AutostartIndex places =
        context.cleanAutostart ? ReadAutostartPlaces(context) : AutostartIndex();
    for (const std::string& entry : list.entries()) {
        DeleteRunValues(context, sink, entry);
        RemoveAutostartEntries(context, folders, places, sink, entry);
    }
}

} // namespace pestrel
