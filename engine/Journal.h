#pragma once
// The undo journal. Every file a kill pass deletes is first kept under a name of its own in the
// backup folder's Kept folder, every start-up value it deletes is noted with its data, and one
// line per deletion goes into Journal.txt beside Log.ini. Temp/<entry> and Log.ini are not
// touched by any of this.

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct Context;

struct JournalEntry {
    enum class Kind { File, Text, Number }; // a file; a text or 32-bit number start-up value
    std::string time;                       // UTC, as 2026-12-07T22:30:00Z
    Kind kind = Kind::File;
    std::string entry; // the list entry it was deleted for
    std::string place; // the file's path, or root\key of the value (its name is the entry)
    std::string kept;  // the copy's path, or the value's data (a number in decimal)
    bool restored = false;
};

// One journal line, without its line end: the fields separated by TAB, each with '%', TAB, CR
// and LF written as %25, %09, %0D, %0A. Parsing gives nothing for a line that is not one.
std::string FormatJournalLine(const JournalEntry& entry);
std::optional<JournalEntry> ParseJournalLine(const std::string& line);

std::string JournalPath(const Context& context); // backup folder + "Journal.txt"
// Every entry in file order; a missing journal is empty, an unreadable one gives nothing.
// Lines that are not entries are skipped.
std::optional<std::vector<JournalEntry>> ReadJournal(const Context& context);
// Replaces the whole journal.
bool WriteJournal(const Context& context, const std::vector<JournalEntry>& entries);

struct FileDeletion {
    bool deleted = false;
    std::string copy; // where the file is kept; empty when no copy could be made
};
// Deletes `path`, which was found for `entry`, keeps a copy and journals the deletion.
// `freshCopy` names a copy of the file made just before (its Temp/<entry> backup), which is
// copied once the file is gone; without one the file itself is copied first, and that copy is
// dropped again when the file stays.
FileDeletion DeleteKeepingCopy(Context& context, const std::string& entry, const std::string& path,
                               const std::string& freshCopy = {});

enum class ValueDeletion { Absent, Deleted, Failed };
// DeleteRegValue on the start-up key, journaling the value's data before it goes.
ValueDeletion DeleteRunValue(Context& context, RegRoot root, const std::string& entry);

} // namespace pestrel
