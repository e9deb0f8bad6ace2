#include "engine/KillPass.h"

#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "platform/Platform.h"

#include <vector>

namespace pestrel {
namespace {

bool EndsWithLowerDll(const std::string& entry) {
    return entry.size() >= 4 && entry.compare(entry.size() - 4, 4, ".dll") == 0;
}

// Deletes a file found for `entry`, keeping a copy of it, and tells the view.
void DeleteFound(Context& context, KillPassView& view, const std::string& entry,
                 const std::string& file, const std::string& freshCopy = {}) {
    const FileDeletion deletion = DeleteKeepingCopy(context, entry, file, freshCopy);
    view.reportAction({"delete", {file, deletion.copy}, !deletion.deleted});
}

// Backs up a file found for `entry` into the backup folder as today; the fresh copy's path, or
// empty when the copy failed.
std::string Backup(Context& context, KillPassView& view, const std::string& entry,
                   const std::string& file, const std::optional<FileIdentity>& image = {}) {
    const std::string copy = JoinName(context.backupFolder(), entry).value_or(std::string());
    const bool copied = BackupFile(context, file, entry, image);
    view.reportAction({"backup", {file, copy}, !copied});
    return copied ? copy : std::string();
}

void ReportTermination(KillPassView& view, const ProcessRecord& process, bool ended) {
    view.reportAction({"terminate", {std::to_string(process.id), process.exeFile}, !ended});
}

void Terminate(Platform& platform, KillPassView& view, const std::string& entry) {
    if (const std::optional<EndedProcess> ended = EndProcessByName(platform, entry))
        ReportTermination(view, ended->process, ended->ended);
}

void DeleteRunValues(Context& context, KillPassView& view, const std::string& entry) {
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        const ValueDeletion deletion = DeleteRunValue(context, root, entry);
        if (deletion != ValueDeletion::Absent)
            view.reportAction(
                {"regdelete", {RegPlace(root, kRunKey), entry}, deletion == ValueDeletion::Failed});
    }
}

// Deletes the library files named like the entry from the Windows and System folders, unless
// marked system (an unreadable attribute set counts as system), and records the entry for the
// deletion at the next start. False when the record cannot be written.
bool HandleLibrary(Context& context, KillPassView& view, const std::string& entry) {
    Platform& platform = context.platform;
    bool deletedAny = false;
    for (const std::string* folder : {&context.WinDir, &context.SysDir}) {
        const std::optional<std::string> file = JoinName(*folder, entry);
        if (!file || !platform.fileExists(*file))
            continue;
        const std::uint32_t attributes = platform.fileAttributes(*file);
        if (attributes & FileAttribute::System)
            continue;
        platform.setFileAttributes(*file,
                                   attributes & ~(FileAttribute::ReadOnly | FileAttribute::Hidden));
        DeleteFound(context, view, entry, *file);
        deletedAny = true;
    }
    if (!deletedAny)
        return true;
    const bool recorded = RecordPendingDeletion(context, entry);
    view.reportAction({"pending", {entry}, !recorded});
    return recorded;
}

// Ends every running copy of the entry first, whether its file is still there or not (a program
// may delete its own file), then handles the file of the program that was found.
void RemoveRunningProgram(Context& context, KillPassView& view, const std::string& entry,
                          const std::vector<ProcessRecord>& snapshot, const ProcessRecord& program,
                          const std::string& file) {
    Platform& platform = context.platform;
    for (const ProcessRecord& record : snapshot) {
        if (ProcessMatchesName(record.exeFile, entry))
            ReportTermination(view, record, platform.terminateProcess(record));
    }
    for (int attempts = 0; attempts < kMaxTerminationRounds && platform.fileExists(file);
         ++attempts) {
        Terminate(platform, view, entry);
        const std::string copy = Backup(context, view, entry, file, program.image);
        LogDeletion(context, entry, file);
        DeleteFound(context, view, entry, file, copy);
        view.setStatusText(file);
        if (platform.fileExists(file))
            DeleteFound(context, view, entry, file, copy);
    }
}

// Backs up and deletes the entry from the Windows folder, then from the System folder; the
// System folder's copy and path are the ones that stay.
void RemoveFromSystemFolders(Context& context, KillPassView& view, const std::string& entry) {
    for (const std::string* folder : {&context.WinDir, &context.SysDir}) {
        const std::optional<std::string> file = JoinName(*folder, entry);
        if (!file || !context.platform.fileExists(*file))
            continue;
        const std::string copy = Backup(context, view, entry, *file);
        DeleteFound(context, view, entry, *file, copy);
        LogDeletion(context, entry, *file);
    }
}

} // namespace

bool RunKillPass(Context& context, KillPassView& view, unsigned completionPauseMs) {
    const auto endEarly = [&view] {
        view.enableKillButton();
        view.setStatusText("");
        return false;
    };
    Platform& platform = context.platform;
    EnsureBackupFolder(context);
    const int count = view.entryCount();
    view.setMarker(count - 1);
    for (int i = count - 1; i >= 0; --i) {
        const std::optional<std::string> entry = view.entry(i);
        if (!entry)
            return endEarly();
        view.setMarker(i);

        if (EndsWithLowerDll(*entry) && !HandleLibrary(context, view, *entry))
            return endEarly();

        // Most entries run nowhere: a look at the program paths tells, and only for an entry that
        // runs is the snapshot taken that ends processes safely, which costs several calls more
        // for every process on the machine.
        std::vector<ProcessRecord> snapshot;
        if (FindProgram(platform.processSnapshot(SnapshotDetail::WithPaths), *entry))
            snapshot = platform.processSnapshot(SnapshotDetail::ForEnding);
        if (const ProcessRecord* program = FindProgram(snapshot, *entry)) {
            const std::string folder = FolderOf(*program->exePath);
            if (const std::optional<std::string> file = JoinName(folder, *entry))
                RemoveRunningProgram(context, view, *entry, snapshot, *program, *file);
        } else {
            RemoveFromSystemFolders(context, view, *entry);
        }

        DeleteRunValues(context, view, *entry);

        if (const int marker = view.marker(); marker > 0)
            view.setMarker(marker - 1);
    }
    view.setMarker(0);
    view.setStatusText(kKillPassDoneText);
    platform.sleepMs(completionPauseMs);
    view.setStatusText("");
    return true;
}

} // namespace pestrel
