#include "engine/Journal.h"

#include "engine/Context.h"
#include "engine/PassAction.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"

#include <chrono>
#include <cstdio>

namespace pestrel {
namespace {

constexpr const char* kKinds[] = {"file", "text", "number"};
constexpr const char* kRestored = "restored";

std::string Escaped(const std::string& field) {
    std::string out;
    for (char c : field) {
        if (c == '%' || c == '\t' || c == '\r' || c == '\n') {
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

bool Append(Context& context, const JournalEntry& entry) {
    const std::string path = JournalPath(context);
    return !path.empty() && context.platform.appendToFile(path, FormatJournalLine(entry) + "\r\n");
}

// Kept/<n>-<entry> with the lowest n not taken, so copies of one name never replace each other.
std::optional<std::string> FreeCopyName(Context& context, const std::string& entry) {
    const std::optional<std::string> folder = JoinName(context.backupFolder(), "Kept");
    if (!folder)
        return std::nullopt;
    Platform& platform = context.platform;
    if (!platform.folderExists(*folder) && !platform.createFolder(*folder))
        return std::nullopt;
    for (int n = 1;; ++n) {
        const std::optional<std::string> copy =
            JoinName(WithTrailingSeparator(*folder), std::to_string(n) + "-" + entry);
        if (!copy || !platform.fileExists(*copy))
            return copy;
    }
}

} // namespace

std::string FormatJournalLine(const JournalEntry& entry) {
    return Escaped(entry.time) + '\t' + kKinds[static_cast<int>(entry.kind)] + '\t' +
           Escaped(entry.entry) + '\t' + Escaped(entry.place) + '\t' + Escaped(entry.kept) + '\t' +
           (entry.restored ? kRestored : "");
}

std::optional<JournalEntry> ParseJournalLine(const std::string& line) {
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 6 || (!fields[5].empty() && fields[5] != kRestored))
        return std::nullopt;
    JournalEntry entry;
    int kind = 0;
    while (kind < 3 && fields[1] != kKinds[kind])
        ++kind;
    const auto time = Unescaped(fields[0]), name = Unescaped(fields[2]),
               place = Unescaped(fields[3]), kept = Unescaped(fields[4]);
    if (kind == 3 || !time || !name || !place || !kept || name->empty() || place->empty())
        return std::nullopt;
    entry.kind = static_cast<JournalEntry::Kind>(kind);
    entry.time = *time;
    entry.entry = *name;
    entry.place = *place;
    entry.kept = *kept;
    entry.restored = !fields[5].empty();
    return entry;
}

std::string JournalPath(const Context& context) {
    return JoinName(context.backupFolder(), "Journal.txt").value_or(std::string());
}

std::optional<std::vector<JournalEntry>> ReadJournal(const Context& context) {
    const std::string path = JournalPath(context);
    std::vector<JournalEntry> entries;
    if (path.empty() || !context.platform.fileExists(path))
        return entries;
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines))
        return std::nullopt;
    for (const std::string& line : lines) {
        if (std::optional<JournalEntry> entry = ParseJournalLine(line))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

bool WriteJournal(const Context& context, const std::vector<JournalEntry>& entries) {
    std::vector<std::string> lines;
    for (const JournalEntry& entry : entries)
        lines.push_back(FormatJournalLine(entry));
    return WriteTextLines(JournalPath(context), lines);
}

FileDeletion DeleteKeepingCopy(Context& context, const std::string& entry, const std::string& path,
                               const std::string& freshCopy) {
    Platform& platform = context.platform;
    FileDeletion result;
    const auto keep = [&](const std::string& from) {
        if (const std::optional<std::string> copy = FreeCopyName(context, entry);
            copy && platform.copyFile(from, *copy))
            result.copy = *copy;
    };
    if (freshCopy.empty())
        keep(path);
    result.deleted = platform.deleteFile(path);
    if (!freshCopy.empty() && result.deleted)
        keep(freshCopy);
    if (!result.deleted && !result.copy.empty()) {
        platform.deleteFile(result.copy);
        result.copy.clear();
    }
    if (result.deleted && !result.copy.empty())
        Append(context, {UtcNow(), JournalEntry::Kind::File, entry, path, result.copy});
    return result;
}

ValueDeletion DeleteRunValue(Context& context, RegRoot root, const std::string& entry) {
    Platform& platform = context.platform;
    const std::optional<RegValue> value = platform.queryValue(root, kRunKey, entry);
    if (value) {
        const auto kind = value->kind == RegValue::Kind::Integer ? JournalEntry::Kind::Number
                                                                 : JournalEntry::Kind::Text;
        Append(context, {UtcNow(), kind, entry, RegPlace(root, kRunKey), RegData(*value)});
    }
    const bool deleted = DeleteRegValue(platform, root, kRunKey, entry);
    if (!value)
        return ValueDeletion::Absent;
    return deleted ? ValueDeletion::Deleted : ValueDeletion::Failed;
}

} // namespace pestrel
