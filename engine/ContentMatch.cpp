#include "engine/ContentMatch.h"

#include "engine/Context.h"
#include "engine/HashLine.h"
#include "engine/Journal.h"
#include "engine/KillPass.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"

#include <algorithm>

namespace pestrel {
namespace {

std::set<std::string> HashesOf(KillPassView& view) {
    std::set<std::string> hashes;
    for (int i = 0, count = view.entryCount(); i < count; ++i) {
        const std::optional<std::string> entry = view.entry(i);
        if (const std::optional<std::string> hash = entry ? HashOfListLine(*entry) : std::nullopt)
            hashes.insert(*hash);
    }
    return hashes;
}

// A folder the pass holds for its whole run, shared without being owned.
std::shared_ptr<HeldFolder> Borrowed(HeldFolder* folder) {
    return std::shared_ptr<HeldFolder>(std::shared_ptr<HeldFolder>(), folder);
}

// The file at `path`, held in its folder, when it can be read there.
std::optional<ContentFound> CheckPath(Platform& platform, ContentScan& scan,
                                      const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string name = path.substr(folder.size());
    if (folder.empty() || name.empty())
        return std::nullopt;
    const std::shared_ptr<HeldFolder> held = platform.holdFolder(folder);
    return held ? scan.check(held, name) : std::nullopt;
}

// The file of each running program, as long as its path still leads to that very file; many
// processes of one program are one look.
std::vector<ContentFound> ScanProcessImages(Platform& platform, ContentScan& scan,
                                            const std::vector<ProcessRecord>& snapshot) {
    std::vector<ContentFound> found;
    std::vector<FileIdentity> looked;
    for (const ProcessRecord& record : snapshot) {
        if (!record.exePath || !record.image ||
            std::find(looked.begin(), looked.end(), *record.image) != looked.end())
            continue;
        looked.push_back(*record.image);
        std::optional<ContentFound> match = CheckPath(platform, scan, *record.exePath);
        if (match && match->stamp.identity == *record.image)
            found.push_back(std::move(*match));
    }
    return found;
}

// Handles one matched file as the entry of its own name.
void Remove(Context& context, PassFolders& folders, KillPassView& view,
            const std::vector<ProcessRecord>& snapshot, const ContentFound& file) {
    const std::string path = file.path(), &entry = file.name;
    const FileIdentity& identity = file.stamp.identity;
    view.reportAction({"match", {path, file.match}});
    view.setStatusText("match " + path + " " + file.match);
    for (const ProcessRecord& record : snapshot) {
        if (record.image == identity)
            view.reportAction({"terminate",
                               {std::to_string(record.id), record.exeFile},
                               !context.platform.terminateProcess(record)});
    }
    const std::string copy = JoinName(context.backupFolder(), entry).value_or(std::string());
    const bool backedUp =
        folders.backup && BackupFile(*folders.backup, *file.folder, entry, identity, entry);
    view.reportAction({"backup", {path, copy}, !backedUp});
    LogDeletion(context, entry, path);
    const FileDeletion deletion =
        DeleteKeepingCopy(context, folders, entry, *file.folder, entry, identity, backedUp);
    view.reportAction({"delete", {path, deletion.copy}, !deletion.deleted});
    DeleteRunValues(context, view, entry);
}

// The backups and kept copies of earlier passes: they hold what they matched, and a scan that
// reaches the program's folder must not take the undo away.
std::vector<FileIdentity> OwnCopies(PassFolders& folders) {
    std::vector<FileIdentity> copies;
    for (HeldFolder* folder : {folders.backup.get(), folders.kept.get()}) {
        const std::optional<FolderEntries> entries = folder ? folder->entries() : std::nullopt;
        for (const std::string& name : entries ? entries->files : std::vector<std::string>()) {
            if (const std::optional<FileIdentity> identity = folder->fileIdentity(name))
                copies.push_back(*identity);
        }
    }
    return copies;
}

// Each file once, in the order found: a program in the System folder that also runs is one
// match.
void RemoveAll(Context& context, PassFolders& folders, KillPassView& view,
               std::vector<ContentFound> found) {
    if (found.empty())
        return;
    std::vector<FileIdentity> seen = OwnCopies(folders);
    const std::vector<ProcessRecord> snapshot =
        context.platform.processSnapshot(SnapshotDetail::ForEnding);
    for (const ContentFound& file : found) {
        if (std::find(seen.begin(), seen.end(), file.stamp.identity) != seen.end())
            continue;
        seen.push_back(file.stamp.identity);
        Remove(context, folders, view, snapshot, file);
    }
}

void Append(std::vector<ContentFound>& to, std::vector<ContentFound> more) {
    to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

} // namespace

ContentScan RemoveContentMatches(Context& context, PassFolders& folders, KillPassView& view) {
    ContentScan scan(HashesOf(view), context.contentRules, context.scanLarge);
    if (scan.empty())
        return scan;
    Platform& platform = context.platform;
    std::vector<ContentFound> found =
        ScanProcessImages(platform, scan, platform.processSnapshot(SnapshotDetail::ForEnding));
    for (HeldFolder* folder : {folders.windows.get(), folders.system.get()}) {
        if (folder)
            Append(found, scan.walk(Borrowed(folder), 0));
    }
    for (const std::string& path : context.scanFolders) {
        if (const std::shared_ptr<HeldFolder> folder = platform.holdFolder(path))
            Append(found, scan.walk(folder, kMaxScanDepth));
        else
            view.reportAction({"scan", {path}, true});
    }
    RemoveAll(context, folders, view, std::move(found));
    return scan;
}

void RemoveMatchingPrograms(Context& context, PassFolders& folders, KillPassView& view,
                            ContentScan& scan, const std::vector<std::string>& paths) {
    if (scan.empty())
        return;
    std::vector<ContentFound> found;
    for (const std::string& path : paths) {
        if (std::optional<ContentFound> match = CheckPath(context.platform, scan, path))
            found.push_back(std::move(*match));
    }
    RemoveAll(context, folders, view, std::move(found));
}

} // namespace pestrel
