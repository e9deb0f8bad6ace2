#include "engine/ContentMatch.h"

#include "engine/Context.h"
#include "engine/HashLine.h"
#include "engine/Journal.h"
#include "engine/KillPass.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"

#include <algorithm>
#include <map>

namespace pestrel {
namespace {

// The hash lines read ahead of the walk, up to the first index that holds no entry.
std::set<std::string> HashesOf(PassList& list) {
    std::set<std::string> hashes;
    for (int i = 0; const std::optional<std::string> entry = list.entry(i); ++i) {
        if (const std::optional<std::string> hash = HashOfListLine(*entry))
            hashes.insert(*hash);
    }
    return hashes;
}

// A folder the pass holds for its whole run, shared without being owned.
std::shared_ptr<HeldFolder> Borrowed(HeldFolder* folder) {
    return std::shared_ptr<HeldFolder>(std::shared_ptr<HeldFolder>(), folder);
}

// The files at `programs`, each held in its folder on its owner's word (a folder is held once for
// each owner), where it can be.
std::vector<FileInFolder> HeldFiles(Platform& platform,
                                    const std::vector<PlacedProgram>& programs) {
    std::map<std::pair<std::string, std::uint32_t>, std::shared_ptr<HeldFolder>> held;
    std::vector<FileInFolder> files;
    for (const auto& [path, owner] : programs) {
        const std::string folder = FolderOf(path);
        const std::string name = path.substr(folder.size());
        if (folder.empty() || name.empty())
            continue;
        auto [at, added] = held.try_emplace({folder, owner});
        if (added && (at->second = platform.holdFolder(folder)))
            at->second->actFor(owner);
        if (at->second)
            files.push_back({at->second, name});
    }
    return files;
}

// The file of each running program, as long as its path still leads to the file of a running
// program; many processes of one program are one look.
std::vector<ContentFound> ScanProcessImages(Platform& platform, ContentScan& scan,
                                            const std::vector<ProcessRecord>& snapshot) {
    std::vector<PlacedProgram> paths;
    std::vector<FileIdentity> images;
    const auto running = [&images](const FileIdentity& file) {
        return std::find(images.begin(), images.end(), file) != images.end();
    };
    for (const ProcessRecord& record : snapshot) {
        if (!record.exePath || !record.image || running(*record.image))
            continue;
        images.push_back(*record.image);
        paths.push_back({*record.exePath});
    }
    std::vector<ContentFound> found = scan.checkAll(HeldFiles(platform, paths));
    std::erase_if(found, [&](const ContentFound& file) { return !running(file.stamp.identity); });
    return found;
}

// Removes one matched file by its identity: the processes whose image it is, then the file.
void Remove(Context& context, PassFolders& folders, PassSink& sink,
            const std::vector<ProcessRecord>& snapshot, const ContentFound& file) {
    const std::string path = file.path(), &entry = file.name;
    const FileIdentity& identity = file.stamp.identity;
    sink.report({PassVerb::Match, {path, file.match}});
    sink.report({PassVerb::Status, {"match " + path + " " + file.match}});
    for (const ProcessRecord& record : snapshot) {
        if (record.image == identity)
            sink.report({PassVerb::Terminate,
                         {std::to_string(record.id), record.exeFile},
                         !context.platform.terminateProcess(record)});
    }
    const std::string copy = JoinName(context.backupFolder(), entry).value_or(std::string());
    const bool backedUp =
        folders.backup && BackupFile(*folders.backup, *file.folder, entry, identity, entry);
    sink.report({PassVerb::Backup, {path, copy}, !backedUp});
    LogDeletion(context, entry, path);
    const FileDeletion deletion =
        DeleteKeepingCopy(context, folders, entry, *file.folder, entry, identity, backedUp);
    sink.report({PassVerb::Delete, {path, deletion.copy}, !deletion.deleted});
}

// The backups and kept copies of earlier passes: they hold what they matched, and a scan that
// reaches the program's folder must not take the undo away. And the program's own file, which a
// broad rule may match: the pass would end itself halfway.
std::vector<FileIdentity> OwnCopies(Context& context, PassFolders& folders) {
    std::vector<FileIdentity> copies;
    const std::string program = context.platform.programFile(), folder = FolderOf(program);
    const std::unique_ptr<HeldFolder> held =
        folder.empty() ? nullptr : context.platform.holdFolder(folder);
    if (const std::optional<FileIdentity> own =
            held ? held->fileIdentity(program.substr(folder.size())) : std::nullopt)
        copies.push_back(*own);
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
void RemoveAll(Context& context, PassFolders& folders, PassSink& sink,
               std::vector<ContentFound> found) {
    if (found.empty())
        return;
    std::vector<FileIdentity> seen = OwnCopies(context, folders);
    const std::vector<ProcessRecord> snapshot =
        context.platform.processSnapshot(SnapshotDetail::ForEnding);
    for (const ContentFound& file : found) {
        if (std::find(seen.begin(), seen.end(), file.stamp.identity) != seen.end())
            continue;
        seen.push_back(file.stamp.identity);
        Remove(context, folders, sink, snapshot, file);
    }
}

// A line for each file or folder the scan did not judge.
void ReportUnscanned(PassSink& sink, ContentScan& scan) {
    for (const Unscanned& item : scan.takeUnscanned())
        sink.report({PassVerb::Unscanned, {item.path, item.reason}, item.failed});
}

void Append(std::vector<ContentFound>& to, std::vector<ContentFound> more) {
    to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

} // namespace

ContentScan RemoveContentMatches(Context& context, PassFolders& folders, PassList& list,
                                 PassSink& sink) {
    ContentScan scan(HashesOf(list), context.contentRules, context.scanLimits,
                     context.digests.get());
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
            sink.report({PassVerb::Scan, {path}, true});
    }
    ReportUnscanned(sink, scan);
    RemoveAll(context, folders, sink, std::move(found));
    return scan;
}

void RemoveMatchingPrograms(Context& context, PassFolders& folders, PassSink& sink,
                            ContentScan& scan, const std::vector<PlacedProgram>& programs) {
    if (scan.empty())
        return;
    std::vector<ContentFound> found = scan.checkAll(HeldFiles(context.platform, programs));
    ReportUnscanned(sink, scan);
    RemoveAll(context, folders, sink, std::move(found));
}

} // namespace pestrel
