#include "engine/KillPass.h"

#include "engine/AutostartPlaces.h"
#include "engine/AutostartRemoval.h"
#include "engine/ContentMatch.h"
#include "engine/Context.h"
#include "engine/HashLine.h"
#include "engine/Journal.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "platform/Platform.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace pestrel {
namespace {

bool EndsWithLowerDll(const std::string& entry) {
    return entry.size() >= 4 && entry.compare(entry.size() - 4, 4, ".dll") == 0;
}

// A file found for an entry: the held folder it lies in, its own name there, and what it was
// when it was found. Every step on it acts only while the name still is that file.
struct FoundFile {
    HeldFolder& folder;
    std::string name;
    FileIdentity identity;
    std::string path() const { return folder.path() + name; }
};

// Deletes a found file, keeping a copy of it, and tells the sink.
void DeleteFound(Context& context, PassFolders& folders, PassSink& sink, const std::string& entry,
                 const FoundFile& file, bool backedUp) {
    const FileDeletion deletion =
        DeleteKeepingCopy(context, folders, entry, file.folder, file.name, file.identity, backedUp);
    sink.report({PassVerb::Delete, {file.path(), deletion.copy}, !deletion.deleted});
}

// Backs up a found file into the backup folder as Temp/<entry>; true when the copy was made.
bool Backup(Context& context, PassFolders& folders, PassSink& sink, const std::string& entry,
            const FoundFile& file) {
    const std::string copy = JoinName(context.backupFolder(), entry).value_or(std::string());
    const bool copied =
        folders.backup && BackupFile(*folders.backup, file.folder, file.name, file.identity, entry);
    sink.report({PassVerb::Backup, {file.path(), copy}, !copied});
    return copied;
}

void ReportTermination(PassSink& sink, const ProcessRecord& process, bool ended) {
    sink.report({PassVerb::Terminate, {std::to_string(process.id), process.exeFile}, !ended});
}

void Terminate(Platform& platform, PassSink& sink, const std::string& entry) {
    if (const std::optional<EndedProcess> ended = EndFirstProcessNamed(platform, entry))
        ReportTermination(sink, ended->process, ended->ended);
}

// The Windows folder's and the System folder's file of the entry's name that exist.
std::vector<FoundFile> InSystemFolders(PassFolders& folders, const std::string& entry) {
    std::vector<FoundFile> found;
    for (HeldFolder* folder : {folders.windows.get(), folders.system.get()}) {
        if (!folder || !JoinName(folder->path(), entry))
            continue;
        if (const std::optional<FileIdentity> identity = folder->fileIdentity(entry))
            found.push_back({*folder, entry, *identity});
    }
    return found;
}

// Deletes the library files named like the entry from the Windows and System folders, unless
// marked system (an unreadable attribute set counts as system), and records the entry for the
// deletion at the next start. False when the record cannot be written.
bool HandleLibrary(Context& context, PassFolders& folders, PassSink& sink,
                   const std::string& entry) {
    Platform& platform = context.platform;
    bool deletedAny = false;
    for (const FoundFile& file : InSystemFolders(folders, entry)) {
        const std::uint32_t attributes = platform.fileAttributes(file.path());
        if (attributes & FileAttribute::System)
            continue;
        platform.setFileAttributes(file.path(),
                                   attributes & ~(FileAttribute::ReadOnly | FileAttribute::Hidden));
        DeleteFound(context, folders, sink, entry, file, false);
        deletedAny = true;
    }
    if (!deletedAny)
        return true;
    const bool recorded = RecordPendingDeletion(context, entry);
    sink.report({PassVerb::Pending, {entry}, !recorded});
    return recorded;
}

// A running copy of a listed program: the folder its file lies in, held before the program is
// ended, so that a folder the program renames or replaces as it ends changes nothing; its own
// file name there (in its own letter case); and the file it was started from.
struct RunningCopy {
    std::unique_ptr<HeldFolder> folder;
    std::string name;
    FileIdentity image;
    std::string path; // as the process table showed it
};

std::vector<RunningCopy> HoldRunningCopies(Platform& platform,
                                           const std::vector<ProcessRecord>& snapshot,
                                           const std::string& entry) {
    std::vector<RunningCopy> copies;
    for (const ProcessRecord& record : snapshot) {
        if (!ProcessMatchesName(record.exeFile, entry) || !record.exePath || !record.image)
            continue;
        if (std::any_of(copies.begin(), copies.end(),
                        [&](const RunningCopy& copy) { return copy.image == *record.image; }))
            continue; // another process of the same file
        const std::string folder = FolderOf(*record.exePath);
        copies.push_back({platform.holdFolder(folder), record.exePath->substr(folder.size()),
                          *record.image, *record.exePath});
    }
    return copies;
}

// Backs up and deletes the entry from the Windows folder, then from the System folder; the
// System folder's copy and path are the ones that stay.
void RemoveFromSystemFolders(Context& context, PassFolders& folders, PassSink& sink,
                             const std::string& entry) {
    for (const FoundFile& file : InSystemFolders(folders, entry))
        RemoveListedFile(context, folders, sink, entry, file.folder, file.name, file.identity);
}

} // namespace

std::optional<std::string> FixedList::entry(int index) {
    if (index < 0 || index >= count())
        return std::nullopt;
    return entries_[static_cast<std::size_t>(index)];
}

void RemoveListedFile(Context& context, PassFolders& folders, PassSink& sink,
                      const std::string& entry, HeldFolder& folder, const std::string& name,
                      const FileIdentity& identity) {
    const FoundFile file{folder, name, identity};
    const bool backedUp = Backup(context, folders, sink, entry, file);
    DeleteFound(context, folders, sink, entry, file, backedUp);
    LogDeletion(context, entry, file.path());
}

void RemoveListedFileOnce(Context& context, PassFolders& folders, PassSink& sink,
                          const std::string& entry, HeldFolder& folder, const std::string& name,
                          const FileIdentity& identity) {
    const std::optional<FileStamp> stamp = folder.fileStamp(name);
    if (!stamp || stamp->identity != identity || !folders.kept ||
        !folders.copies.find(folder, name, *stamp, *folders.kept))
        return RemoveListedFile(context, folders, sink, entry, folder, name, identity);
    const FoundFile file{folder, name, identity};
    DeleteFound(context, folders, sink, entry, file, false);
    LogDeletion(context, entry, file.path());
}

// Ends every running copy of the entry first, whether its file is still there or not (a program
// may delete its own file), then backs up and deletes the file of each copy, only while its name
// still is the file the program was started from. A name that has become another file is not
// deleted, and the deletion is reported failed.
void RemoveRunningProgram(Context& context, PassFolders& folders, PassSink& sink,
                          const std::string& entry, const std::vector<ProcessRecord>& snapshot) {
    Platform& platform = context.platform;
    const std::vector<RunningCopy> copies = HoldRunningCopies(platform, snapshot, entry);
    for (const ProcessRecord& record : snapshot) {
        if (ProcessMatchesName(record.exeFile, entry))
            ReportTermination(sink, record, platform.terminateProcess(record));
    }
    for (const RunningCopy& copy : copies) {
        if (!copy.folder) {
            sink.report({PassVerb::Delete, {copy.path, ""}, true});
            continue;
        }
        const FoundFile file{*copy.folder, copy.name, copy.image};
        for (int attempts = 0; attempts < kMaxTerminationRounds; ++attempts) {
            const std::optional<FileIdentity> now = copy.folder->fileIdentity(copy.name);
            if (!now)
                break; // gone, as a program that deleted its own file leaves it
            if (*now != copy.image) {
                sink.report({PassVerb::Delete, {file.path(), ""}, true});
                break;
            }
            Terminate(platform, sink, entry);
            const bool backedUp = Backup(context, folders, sink, entry, file);
            LogDeletion(context, entry, file.path());
            DeleteFound(context, folders, sink, entry, file, backedUp);
            sink.report({PassVerb::Status, {file.path()}});
        }
    }
}

void DeleteRunValues(Context& context, PassSink& sink, const std::string& entry) {
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        const ValueDeletion deletion = DeleteRunValue(context, root, entry);
        if (deletion != ValueDeletion::Absent)
            sink.report({PassVerb::RegDelete,
                         {RegPlace(root, kRunKey), entry},
                         deletion == ValueDeletion::Failed});
    }
}

bool RunKillPass(Context& context, PassList& list, PassSink& sink) {
    Platform& platform = context.platform;
    PassFolders folders = HoldPassFolders(context);
    // The places are read only for the choice of cleaning them: the plain pass removes the
    // start-up values named like an entry and nothing else of them.
    const AutostartIndex autostart =
        context.cleanAutostart ? ReadAutostartPlaces(context) : AutostartIndex();
    for (const PassAction& malformed : autostart.malformed())
        sink.report(malformed);
    // Kept with what it has read for the pass's later scans by content.
    ContentScan content = RemoveContentMatches(context, folders, list, sink);
    // The programs autostart places name are scanned by content too, where they lie, each on the
    // word of its place's owner.
    std::vector<PlacedProgram> started;
    for (const AutostartEntry& place : autostart.entries()) {
        if (std::optional<std::string> path = platform.localPath(place.program))
            started.push_back({std::move(*path), place.owner});
    }
    RemoveMatchingPrograms(context, folders, sink, content, started);
    for (int i = list.count() - 1; i >= 0; --i) {
        const std::optional<std::string> entry = list.entry(i);
        if (!entry)
            return false;
        // A hash line names no file: the scan by content has handled it.
        if (KindOfListLine(*entry) != ListLineKind::Name)
            continue;

        if (EndsWithLowerDll(*entry) && !HandleLibrary(context, folders, sink, *entry))
            return false;

        // Most entries run nowhere: a walk of the program paths at this turn tells, and only a
        // running name takes the snapshot that ends processes, which costs several calls more
        // for every process on the machine.
        const std::vector<ProcessRecord> snapshot =
            ProgramRuns(platform, *entry) ? platform.processSnapshot(SnapshotDetail::ForEnding)
                                          : std::vector<ProcessRecord>();
        if (FindProgram(snapshot, *entry))
            RemoveRunningProgram(context, folders, sink, *entry, snapshot);
        else
            RemoveFromSystemFolders(context, folders, sink, *entry);

        DeleteRunValues(context, sink, *entry);
        RemoveAutostartEntries(context, folders, autostart, sink, *entry);
    }
    return true;
}

} // namespace pestrel
