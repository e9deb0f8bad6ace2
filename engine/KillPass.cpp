#include "engine/KillPass.h"

#include "engine/Context.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "platform/Platform.h"

#include <vector>

namespace pestrel {
namespace {

bool EndsWithLowerDll(const std::string& entry) {
    return entry.size() >= 4 && entry.compare(entry.size() - 4, 4, ".dll") == 0;
}

// Deletes the library files named like the entry from the Windows and System folders, unless
// marked system (an unreadable attribute set counts as system), and records the entry for the
// deletion at the next start. False when the record cannot be written.
bool HandleLibrary(Context& context, const std::string& entry) {
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
        platform.deleteFile(*file);
        deletedAny = true;
    }
    return !deletedAny || RecordPendingDeletion(context, entry);
}

// Ends every running copy of the entry first, whether its file is still there or not (a program
// may delete its own file), then handles the file of the program that was found.
void RemoveRunningProgram(Context& context, KillPassView& view, const std::string& entry,
                          const std::vector<ProcessRecord>& snapshot, const ProcessRecord& program,
                          const std::string& file) {
    Platform& platform = context.platform;
    for (const ProcessRecord& record : snapshot) {
        if (ProcessMatchesName(record.exeFile, entry))
            platform.terminateProcess(record);
    }
    for (int attempts = 0; attempts < kMaxTerminationRounds && platform.fileExists(file);
         ++attempts) {
        KillProcessByName(platform, entry);
        BackupFile(context, file, entry, program.image);
        LogDeletion(context, entry, file);
        platform.deleteFile(file);
        view.setStatusText(file);
        if (platform.fileExists(file))
            platform.deleteFile(file);
    }
}

// Backs up and deletes the entry from the Windows folder, then from the System folder; the
// System folder's copy and path are the ones that stay.
void RemoveFromSystemFolders(Context& context, const std::string& entry) {
    for (const std::string* folder : {&context.WinDir, &context.SysDir}) {
        const std::optional<std::string> file = JoinName(*folder, entry);
        if (!file || !context.platform.fileExists(*file))
            continue;
        BackupFile(context, *file, entry);
        context.platform.deleteFile(*file);
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

        if (EndsWithLowerDll(*entry) && !HandleLibrary(context, *entry))
            return endEarly();

        const std::vector<ProcessRecord> snapshot =
            platform.processSnapshot(SnapshotDetail::ForEnding);
        const ProcessFolderIndex programs(snapshot);
        if (const ProcessRecord* program = programs.program(*entry)) {
            const std::string folder = FolderOf(*program->exePath);
            if (const std::optional<std::string> file = JoinName(folder, *entry))
                RemoveRunningProgram(context, view, *entry, snapshot, *program, *file);
        } else {
            RemoveFromSystemFolders(context, *entry);
        }

        DeleteRegValue(platform, RegRoot::LocalMachine, kRunKey, *entry);
        DeleteRegValue(platform, RegRoot::CurrentUser, kRunKey, *entry);

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
