#include "engine/Journal.h"

#include "base/FileBytes.h"
#include "engine/Context.h"
#include "engine/PassAction.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace pestrel {
namespace {

constexpr const char* kKinds[] = {"file", "text",  "number", "value",  "value-number",
                                  "list", "start", "link",   "crontab"};
constexpr int kKindCount = 9;

bool HasOwnName(JournalEntry::Kind kind) {
    return kind >= JournalEntry::Kind::Value;
}
constexpr const char* kRestored = "restored";

std::string Escaped(const std::string& field) {
    std::string out;
    for (char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || byte < 0x20 || byte == 0x7F) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

std::optional<std::string> Unescaped(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        const int high = i + 1 < field.size() ? HexDigit(field[i + 1]) : -1;
        const int low = i + 2 < field.size() ? HexDigit(field[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()));
    return text;
}

constexpr const char* kJournal = "Journal.txt";

// The undo folder as it is; null when it is missing or cannot be held.
std::unique_ptr<HeldFolder> UndoAsItIs(const Context& context) {
    const std::string undo = UndoFolder(context);
    return undo.empty() ? nullptr : context.platform.holdFolder(undo);
}

bool Append(Context& context, const JournalEntry& entry) {
    const std::unique_ptr<HeldFolder> undo = UndoAsItIs(context);
    return undo && undo->appendFile(kJournal, FormatJournalLine(entry) + "\r\n");
}

// Kept/<n>-<entry> with the lowest n not taken, so copies of one name never replace each other.
template <typename Make>
std::optional<std::string> InFreeKeptName(HeldFolder& kept, const std::string& entry, Make make) {
    for (int n = 1; n < 100000; ++n) {
        const std::string name = std::to_string(n) + "-" + entry;
        if (kept.fileIdentity(name))
            continue;
        if (make(name))
            return name;
        if (kept.fileIdentity(name))
            continue; // taken meanwhile
        return std::nullopt;
    }
    return std::nullopt;
}

std::string OwnershipText(const FileOwnership& owner) {
    char text[64];
    std::snprintf(text, sizeof text, "%u:%u:%o", owner.user, owner.group, owner.mode);
    return text;
}

std::optional<FileOwnership> OwnershipNamed(const std::string& text) {
    unsigned user = 0, group = 0, mode = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%u:%u:%o%c", &user, &group, &mode, &end) != 3 || mode > 0777)
        return std::nullopt;
    return FileOwnership{user, group, mode};
}

std::optional<FileDigest> DigestNamed(const std::string& size, const std::string& sha256) {
    const bool hex =
        sha256.size() == 64 && sha256.find_first_not_of("0123456789abcdef") == std::string::npos;
    if (!hex || size.empty() || size.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return FileDigest{std::strtoull(size.c_str(), nullptr, 10), sha256};
}

} // namespace

std::string FormatJournalLine(const JournalEntry& entry) {
    std::string line = Escaped(entry.time) + '\t' + kKinds[static_cast<int>(entry.kind)] + '\t' +
                       Escaped(entry.entry) + '\t' + Escaped(entry.place) + '\t' +
                       Escaped(entry.kept) + '\t' + (entry.restored ? kRestored : "");
    if (entry.digest)
        line += '\t' + std::to_string(entry.digest->size) + '\t' + entry.digest->sha256 + '\t' +
                OwnershipText(entry.ownership);
    else
        line += "\t\t\t";
    if (HasOwnName(entry.kind))
        line += '\t' + Escaped(entry.name);
    return line;
}

std::optional<JournalEntry> ParseJournalLine(const std::string& line) {
    const std::vector<std::string> fields = SplitTabs(line);
    // Six fields before copies were vouched for, nine since, and a value name of its own.
    const std::string kindText = fields.size() > 1 ? fields[1] : std::string();
    int kind = 0;
    while (kind < kKindCount && kindText != kKinds[kind])
        ++kind;
    const bool ownName = HasOwnName(static_cast<JournalEntry::Kind>(kind));
    if (kind == kKindCount || (ownName && fields.size() != 10) ||
        (!ownName && fields.size() != 6 && fields.size() != 9) ||
        (!fields[5].empty() && fields[5] != kRestored))
        return std::nullopt;
    JournalEntry entry;
    const auto time = Unescaped(fields[0]), name = Unescaped(fields[2]),
               place = Unescaped(fields[3]), kept = Unescaped(fields[4]);
    const auto valueName = ownName ? Unescaped(fields[9]) : std::optional<std::string>("");
    if (!time || !name || !place || !kept || !valueName || name->empty() || place->empty())
        return std::nullopt;
    entry.kind = static_cast<JournalEntry::Kind>(kind);
    entry.name = *valueName;
    entry.time = *time;
    entry.entry = *name;
    entry.place = *place;
    entry.kept = *kept;
    entry.restored = !fields[5].empty();
    if (fields.size() >= 9 && !(fields[6] + fields[7] + fields[8]).empty()) {
        const std::optional<FileOwnership> owner = OwnershipNamed(fields[8]);
        entry.digest = DigestNamed(fields[6], fields[7]);
        if (!entry.digest || !owner || entry.kind != JournalEntry::Kind::File)
            return std::nullopt;
        entry.ownership = *owner;
    }
    return entry;
}

std::string WinePrefixUndoName(const std::string& prefixFolder) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : prefixFolder) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    const std::size_t slash = prefixFolder.find_last_of("/\\");
    std::string base = prefixFolder.substr(slash == std::string::npos ? 0 : slash + 1);
    base.resize(std::min<std::size_t>(base.size(), 32));
    for (char& c : base) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        c = plain ? c : '_';
    }
    if (base.empty())
        base = "prefix";
    char name[64];
    std::snprintf(name, sizeof name, "%s-%016llx", base.c_str(),
                  static_cast<unsigned long long>(hash));
    return name;
}

std::string UndoFolder(const Context& context) {
    if (context.AppPath.empty())
        return {};
    const std::string undo = context.AppPath + "Undo" + kPathSeparator;
    const std::string prefix = context.platform.winePrefixFolder();
    return prefix.empty()
               ? undo
               : undo + "Wine" + kPathSeparator + WinePrefixUndoName(prefix) + kPathSeparator;
}

std::unique_ptr<HeldFolder> HoldUndoFolder(Context& context) {
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    std::unique_ptr<HeldFolder> held = work ? work->folder("Undo", true) : nullptr;
    const std::string prefix = context.platform.winePrefixFolder();
    if (held && !prefix.empty()) {
        if (const std::unique_ptr<HeldFolder> wine = held->folder("Wine", true))
            held = wine->folder(WinePrefixUndoName(prefix), true);
        else
            held.reset();
    }
    return held;
}

std::string KeptFolder(const Context& context) {
    const std::string undo = UndoFolder(context);
    return undo.empty() ? undo : undo + "Kept" + kPathSeparator;
}

std::string JournalPath(const Context& context) {
    return JoinName(UndoFolder(context), "Journal.txt").value_or(std::string());
}

std::optional<std::vector<JournalEntry>> ReadJournal(const Context& context) {
    const std::unique_ptr<HeldFolder> undo = UndoAsItIs(context);
    std::vector<JournalEntry> entries;
    if (!undo || !undo->fileIdentity(kJournal))
        return entries;
    // Every byte is the journal's: a 0x1A, which ends the text of the working files, ends nothing.
    const std::optional<std::string> bytes = undo->readFile(kJournal);
    if (!bytes)
        return std::nullopt;
    for (const std::string_view line : SplitLines(*bytes)) {
        if (std::optional<JournalEntry> entry = ParseJournalLine(std::string(line)))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

bool WriteJournal(const Context& context, const std::vector<JournalEntry>& entries) {
    std::vector<std::string> lines;
    for (const JournalEntry& entry : entries)
        lines.push_back(FormatJournalLine(entry));
    const std::unique_ptr<HeldFolder> undo = UndoAsItIs(context);
    return undo && WriteTextLines(*undo, kJournal, lines);
}

void MoveOlderJournal(Context& context, HeldFolder& backup, HeldFolder& kept) {
    if (!context.platform.winePrefixFolder().empty())
        return;
    const std::optional<FileIdentity> older = backup.fileIdentity(kJournal);
    const std::unique_ptr<HeldFolder> undo = UndoAsItIs(context);
    if (!older || !undo || undo->fileIdentity(kJournal))
        return;
    const std::optional<std::string> bytes = backup.readFile(kJournal);
    if (!bytes)
        return;
    const std::string olderKept = backup.path() + "Kept" + kPathSeparator;
    const std::unique_ptr<HeldFolder> olderCopies = backup.folder("Kept", false);
    std::vector<JournalEntry> entries;
    for (const std::string_view line : SplitLines(*bytes)) {
        std::optional<JournalEntry> entry = ParseJournalLine(std::string(line));
        if (!entry)
            continue;
        const std::string name = entry->kept.substr(std::min(olderKept.size(), entry->kept.size()));
        const std::optional<FileIdentity> copy =
            olderCopies ? olderCopies->fileIdentity(name) : std::nullopt;
        if (entry->kind == JournalEntry::Kind::File && entry->kept.starts_with(olderKept) && copy &&
            olderCopies->linkFile(name, kept, name)) {
            olderCopies->deleteFile(name, *copy);
            entry->kept = kept.path() + name;
        }
        entries.push_back(std::move(*entry));
    }
    if (WriteJournal(context, entries))
        backup.deleteFile(kJournal, *older);
}

FileDeletion DeleteKeepingCopy(Context& context, PassFolders& folders, const std::string& entry,
                               HeldFolder& folder, const std::string& name,
                               const FileIdentity& identity, bool backedUp,
                               const FileRemover& remove) {
    FileDeletion result;
    JournalEntry record;
    record.time = UtcNow();
    record.entry = entry;
    record.place = folder.path() + name;
    record.ownership = folder.fileOwnership(name).value_or(FileOwnership{});
    HeldFolder* kept = folders.kept.get();
    // One copy per file: a file kept already in this run is journaled with that copy.
    const std::optional<FileStamp> stamp = folder.fileStamp(name);
    const bool sameFile = stamp && stamp->identity == identity;
    if (const std::optional<KeptCopy> copy =
            kept && sameFile ? folders.copies.find(folder, name, *stamp, *kept) : std::nullopt) {
        result.deleted =
            remove ? remove(folder, name, identity) : folder.deleteFile(name, identity);
        if (!result.deleted)
            return result;
        result.copy = kept->path() + copy->name;
        record.kept = result.copy;
        record.digest = copy->digest;
        Append(context, record);
        return result;
    }
    std::optional<std::string> keptName;
    if (kept && !backedUp)
        keptName = InFreeKeptName(*kept, entry, [&](const std::string& free) {
            return folder.copyFile(name, identity, *kept, free);
        });
    result.deleted = remove ? remove(folder, name, identity) : folder.deleteFile(name, identity);
    // The backup is a fresh copy of this very file: the kept copy is a second name for it.
    if (kept && backedUp && result.deleted && folders.backup)
        keptName = InFreeKeptName(*kept, entry, [&](const std::string& free) {
            return folders.backup->linkFile(entry, *kept, free);
        });
    if (keptName && !result.deleted) {
        if (const std::optional<FileIdentity> copy = kept->fileIdentity(*keptName))
            kept->deleteFile(*keptName, *copy);
        keptName.reset();
    }
    if (!keptName)
        return result;
    result.copy = kept->path() + *keptName;
    record.kept = result.copy;
    record.digest = kept->fileDigest(*keptName);
    if (record.digest && sameFile)
        folders.copies.add(*stamp, {*keptName, *record.digest}, *kept);
    if (record.digest)
        Append(context, record);
    return result;
}

ValueDeletion DeleteRunValue(Context& context, RegRoot root, const std::string& entry) {
    Platform& platform = context.platform;
    static const std::string runKey = kRunKey;
    // The key is created, as DeleteRegValue does, in the same look. Only a value recorded is
    // deleted: one that appears meanwhile is left for the next look, never deleted without a
    // record.
    const std::optional<RegValue> value = platform.queryValueCreatingKey(root, runKey, entry);
    if (!value)
        return ValueDeletion::Absent;
    JournalEntry record;
    record.time = UtcNow();
    record.kind = value->kind == RegInteger ? JournalEntry::Kind::Number : JournalEntry::Kind::Text;
    record.entry = entry;
    record.place = RegPlace(root, kRunKey);
    record.kept = RegData(*value);
    Append(context, record);
    return DeleteRegValue(platform, root, runKey, entry) ? ValueDeletion::Deleted
                                                         : ValueDeletion::Failed;
}

bool JournalValue(Context& context, JournalEntry::Kind kind, const std::string& entry, RegRoot root,
                  const std::string& key, const std::string& name, const std::string& data) {
    JournalEntry record;
    record.time = UtcNow();
    record.kind = kind;
    record.entry = entry;
    record.place = RegPlace(root, key);
    record.kept = data;
    record.name = name;
    return Append(context, record);
}

bool JournalChange(Context& context, JournalEntry::Kind kind, const std::string& entry,
                   const std::string& place, const std::string& before) {
    JournalEntry record;
    record.time = UtcNow();
    record.kind = kind;
    record.entry = entry;
    record.place = place;
    record.kept = before;
    return Append(context, record);
}

} // namespace pestrel
