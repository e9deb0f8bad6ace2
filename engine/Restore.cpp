#include "engine/Restore.h"

#include "base/AsciiCase.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"

#include <algorithm>
#include <memory>
#include <set>

namespace pestrel {
namespace {

bool IsFile(const JournalEntry& entry) {
    return entry.kind == JournalEntry::Kind::File;
}

// Files are told apart by their path, values by their key and name.
std::string Slot(const JournalEntry& entry) {
    return IsFile(entry) ? "file\n" + entry.place
                         : "value\n" + UpperAscii(entry.place) + '\n' + UpperAscii(entry.entry);
}

bool Wanted(const std::vector<std::string>& names, const std::string& entry) {
    return names.empty() || std::any_of(names.begin(), names.end(), [&](const std::string& name) {
               return EqualsIgnoringAsciiCase(name, entry);
           });
}

// Writes a kept copy back as a new file at its place. Only a copy inside the kept folder whose
// content is still what the journal recorded goes back, into the place's folder held open, with
// the rights of that folder's owner, never over anything that is there.
bool PutFileBack(Context& context, const JournalEntry& item) {
    const std::string keptFolder = KeptFolder(context);
    const std::string keptName = item.kept.substr(std::min(keptFolder.size(), item.kept.size()));
    const std::string folder = FolderOf(item.place);
    const std::string name = item.place.substr(folder.size());
    if (keptFolder.empty() || !item.kept.starts_with(keptFolder) ||
        !JoinName(keptFolder, keptName) || !JoinName(folder, name))
        return false;
    Platform& platform = context.platform;
    const std::unique_ptr<HeldFolder> kept = platform.holdFolder(keptFolder);
    if (!kept || kept->fileDigest(keptName) != item.digest)
        return false;
    const std::unique_ptr<HeldFolder> target = platform.holdFolder(folder);
    return target && target->restoreFile(*kept, keptName, name, item.ownership);
}

// Puts one item back; true when it was restored.
bool PutBack(Context& context, const JournalEntry& item,
             const std::function<void(const PassAction&)>& report, RestoreOutcome& outcome) {
    Platform& platform = context.platform;
    if (IsFile(item)) {
        if (platform.fileExists(item.place)) {
            ++outcome.skipped;
            report({"skip", {item.place, "exists"}});
            return false;
        }
        if (!item.digest) {
            // Recorded before copies were vouched for: nothing tells that the copy is the file.
            ++outcome.skipped;
            report({"skip", {item.place, "unverified"}});
            return false;
        }
        const bool copied = PutFileBack(context, item);
        report({"restore", {item.place, item.kept}, !copied});
        if (copied)
            ForgetPendingDeletion(context, item.entry);
        ++(copied ? outcome.restored : outcome.failed);
        return copied;
    }
    const std::size_t split = item.place.find('\\');
    const std::optional<RegRoot> root = RegRootNamed(item.place.substr(0, split));
    const std::string key = split == std::string::npos ? "" : item.place.substr(split + 1);
    if (root && platform.queryValue(*root, key, item.entry)) {
        ++outcome.skipped;
        report({"skip", {item.place, item.entry, "exists"}});
        return false;
    }
    const bool written =
        root && WriteRegValue(platform, *root, key,
                              item.kind == JournalEntry::Kind::Number ? RegInteger : RegText,
                              item.entry, item.kept);
    report({"regrestore", {item.place, item.entry, item.kept}, !written});
    ++(written ? outcome.restored : outcome.failed);
    return written;
}

} // namespace

RestoreOutcome RestoreDeleted(Context& context, const std::vector<std::string>& names,
                              const std::function<void(const PassAction&)>& report) {
    RestoreOutcome outcome;
    std::optional<std::vector<JournalEntry>> journal = ReadJournal(context);
    if (!journal) {
        outcome.journalRead = false;
        return outcome;
    }
    // The latest line of each slot decides; an older one is never put back over it.
    std::vector<std::size_t> latest;
    std::set<std::string> seen;
    for (std::size_t i = journal->size(); i-- > 0;) {
        if (seen.insert(Slot((*journal)[i])).second)
            latest.push_back(i);
    }
    std::reverse(latest.begin(), latest.end());

    bool changed = false;
    for (std::size_t i : latest) {
        JournalEntry& item = (*journal)[i];
        if (item.restored || !Wanted(names, item.entry))
            continue;
        if (PutBack(context, item, report, outcome))
            item.restored = changed = true;
    }
    for (const std::string& name : names) {
        if (std::none_of(journal->begin(), journal->end(), [&](const JournalEntry& item) {
                return EqualsIgnoringAsciiCase(item.entry, name);
            }))
            outcome.notFound.push_back(name);
    }
    if (changed)
        outcome.journalWritten = WriteJournal(context, *journal);
    return outcome;
}

} // namespace pestrel
