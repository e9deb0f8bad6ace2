#include "engine/Restore.h"

#include "base/AsciiCase.h"
#include "engine/AutostartPlaces.h"
#include "engine/AutostartRemoval.h"
#include "engine/CommandLineProgram.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/LinuxAutostart.h"
#include "engine/ListEdit.h"
#include "engine/Public.h"
#include "engine/ScheduledTasks.h"
#include "engine/WorkFiles.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

namespace pestrel {
namespace {

bool IsFile(const JournalEntry& entry) {
    return entry.kind == JournalEntry::Kind::File;
}

bool HasOwnName(const JournalEntry& entry) {
    return entry.kind >= JournalEntry::Kind::Value;
}

// Files are told apart by their path, values by their key and name; a list by the entry taken
// out of it too, as each entry's item goes back on its own.
std::string Slot(const JournalEntry& entry) {
    if (IsFile(entry))
        return "file\n" + entry.place;
    const std::string value = "value\n" + UpperAscii(entry.place) + '\n' +
                              UpperAscii(HasOwnName(entry) ? entry.name : entry.entry);
    const bool perEntry =
        entry.kind == JournalEntry::Kind::List || entry.kind == JournalEntry::Kind::Crontab;
    return perEntry ? value + '\n' + UpperAscii(entry.entry) : value;
}

// A number as the journal writes it, in decimal.
std::optional<RegValue> NumberValue(const std::string& text) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    RegValue value;
    value.kind = RegInteger;
    value.number = static_cast<std::uint32_t>(std::strtoull(text.c_str(), nullptr, 10));
    return value;
}

// The list as it should be again: the whole list as it was when the pass found it untouched
// since, otherwise the list as it is now with the entry's items back in their places.
std::optional<std::string> ListBack(const Context& context, const JournalEntry& item,
                                    const std::optional<RegValue>& now) {
    if (!now || now->kind != RegText ||
        now->text == ListWithout(context, item.kept, item.name, item.entry))
        return item.kept;
    const std::string_view separators = ListSeparators(item.name);
    const std::vector<std::string> present = ListItems(now->text, separators);
    std::string list = now->text;
    const ListEdit taken = RemoveListItems(item.kept, separators, [&](const std::string& text) {
        return EqualsIgnoringAsciiCase(ProgramFileName(ProgramOf(context, text)), item.entry);
    });
    for (const RemovedItem& removed : taken.removed) {
        if (std::find(present.begin(), present.end(), removed.text) == present.end())
            list = InsertListItem(list, separators, removed.text, removed.index);
    }
    return list == now->text ? std::nullopt : std::optional(list);
}

// A value of the autostart places, put back by its own name; false with nothing written when
// what is there now must stay.
std::optional<RegValue> AutostartValueBack(const Context& context, const JournalEntry& item,
                                           const std::optional<RegValue>& now) {
    RegValue value;
    switch (item.kind) {
    case JournalEntry::Kind::List:
        if (std::optional<std::string> list = ListBack(context, item, now)) {
            value.text = *list;
            return value;
        }
        return std::nullopt;
    case JournalEntry::Kind::Start: {
        // Only a service still disabled gets its start back.
        const bool disabled = !now || (now->kind == RegInteger && now->number == kServiceDisabled);
        return disabled ? NumberValue(item.kept) : std::nullopt;
    }
    case JournalEntry::Kind::ValueNumber:
        return now ? std::nullopt : NumberValue(item.kept);
    default:
        if (now)
            return std::nullopt;
        value.text = item.kept;
        return value;
    }
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
    return target && target->restoreFile(*kept, keptName, name, item.ownership) &&
           RegisterPutBackTask(context, *target, name);
}

// Puts one item back; true when it was restored.
bool PutBack(Context& context, const JournalEntry& item, PassSink& sink, RestoreOutcome& outcome) {
    Platform& platform = context.platform;
    if (IsLinuxPlaceRecord(item))
        return PutLinuxPlaceBack(context, item, sink, outcome);
    if (IsFile(item)) {
        if (platform.fileExists(item.place)) {
            ++outcome.skipped;
            sink.report({PassVerb::Skip, {item.place, "exists"}});
            return false;
        }
        if (!item.digest) {
            // Recorded before copies were vouched for: nothing tells that the copy is the file.
            ++outcome.skipped;
            sink.report({PassVerb::Skip, {item.place, "unverified"}});
            return false;
        }
        const bool copied = PutFileBack(context, item);
        sink.report({PassVerb::Restore, {item.place, item.kept}, !copied});
        if (copied)
            ForgetPendingDeletion(context, item.entry);
        ++(copied ? outcome.restored : outcome.failed);
        return copied;
    }
    const std::size_t split = item.place.find('\\');
    const std::optional<RegRoot> root = RegRootNamed(item.place.substr(0, split));
    const std::string key = split == std::string::npos ? "" : item.place.substr(split + 1);
    if (HasOwnName(item)) {
        const std::optional<RegValue> now =
            root ? platform.queryValue(*root, key, item.name) : std::nullopt;
        const std::optional<RegValue> back = AutostartValueBack(context, item, now);
        if (root && !back) {
            ++outcome.skipped;
            sink.report({PassVerb::Skip, {item.place, item.name, "exists"}});
            return false;
        }
        const bool written = root && platform.setValue(*root, key, item.name, *back);
        sink.report({PassVerb::RegRestore,
                     {item.place, item.name, back ? RegData(*back) : item.kept},
                     !written});
        ++(written ? outcome.restored : outcome.failed);
        return written;
    }
    if (root && platform.queryValue(*root, key, item.entry)) {
        ++outcome.skipped;
        sink.report({PassVerb::Skip, {item.place, item.entry, "exists"}});
        return false;
    }
    const bool written =
        root && WriteRegValue(platform, *root, key,
                              item.kind == JournalEntry::Kind::Number ? RegInteger : RegText,
                              item.entry, item.kept);
    sink.report({PassVerb::RegRestore, {item.place, item.entry, item.kept}, !written});
    ++(written ? outcome.restored : outcome.failed);
    return written;
}

} // namespace

namespace {

// Puts back the latest unrestored line of each slot that `wanted` takes.
RestoreOutcome RestoreWanted(Context& context,
                             const std::function<bool(const JournalEntry&)>& wanted, PassSink& sink,
                             std::vector<JournalEntry>& journal) {
    RestoreOutcome outcome;
    // The latest line of each slot decides; an older one is never put back over it.
    std::vector<std::size_t> latest;
    std::set<std::string> seen;
    for (std::size_t i = journal.size(); i-- > 0;) {
        if (seen.insert(Slot(journal[i])).second)
            latest.push_back(i);
    }
    std::reverse(latest.begin(), latest.end());

    bool changed = false;
    for (std::size_t i : latest) {
        JournalEntry& item = journal[i];
        if (item.restored || !wanted(item))
            continue;
        if (PutBack(context, item, sink, outcome))
            item.restored = changed = true;
    }
    if (changed)
        outcome.journalWritten = WriteJournal(context, journal);
    return outcome;
}

RestoreOutcome UnreadJournal() {
    RestoreOutcome outcome;
    outcome.journalRead = false;
    return outcome;
}

} // namespace

RestoreOutcome RestoreDeleted(Context& context, const std::vector<std::string>& names,
                              PassSink& sink) {
    std::optional<std::vector<JournalEntry>> journal = ReadJournal(context);
    if (!journal)
        return UnreadJournal();
    RestoreOutcome outcome = RestoreWanted(
        context, [&names](const JournalEntry& item) { return Wanted(names, item.entry); }, sink,
        *journal);
    for (const std::string& name : names) {
        if (std::none_of(journal->begin(), journal->end(), [&](const JournalEntry& item) {
                return EqualsIgnoringAsciiCase(item.entry, name);
            }))
            outcome.notFound.push_back(name);
    }
    return outcome;
}

RestoreOutcome RestoreJournalLines(Context& context, const std::vector<std::string>& lines,
                                   PassSink& sink) {
    std::optional<std::vector<JournalEntry>> journal = ReadJournal(context);
    if (!journal)
        return UnreadJournal();
    const std::set<std::string> chosen(lines.begin(), lines.end());
    return RestoreWanted(
        context,
        [&chosen](const JournalEntry& item) { return chosen.contains(FormatJournalLine(item)); },
        sink, *journal);
}

} // namespace pestrel
