#pragma once
// The undo journal. Every file a kill pass deletes is first kept under a name of its own in
// Undo/Kept/, every start-up value it deletes is noted with its data, and one line per deletion
// goes into Undo/Journal.txt. Undo/ lies beside Temp/, so that no list entry, whose backup goes
// into Temp/, can name the journal or a kept copy. A Wine prefix keeps its journal and copies
// apart, in a folder of its own inside Undo/Wine/.

#include "platform/Platform.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct Context;
struct PassFolders;

struct JournalEntry {
    // A file; a text or 32-bit number start-up value named like the entry. An autostart value of
    // another name, text or number; a list value an item was taken out of (kept: the whole list
    // before); a service's Start before it was disabled. A link taken away (kept: its target);
    // a user's crontab lines were taken out of (place: the user; kept: the whole crontab before).
    enum class Kind { File, Text, Number, Value, ValueNumber, List, Start, Link, Crontab };
    std::string time; // UTC, as 2026-12-07T22:30:00Z
    Kind kind = Kind::File;
    std::string entry; // the list entry it was deleted for
    std::string place; // the file's path, or root\key of the value (its name is the entry)
    std::string kept;  // the copy's path, or the value's data (a number in decimal)
    std::string name;  // the value's name, for the kinds that do not name it after the entry
    bool restored = false;
    // A file's kept copy as it was made and the original's owner and permission bits; nothing
    // for a value, and for a line written before they were recorded (such a copy is not put
    // back: nothing vouches for it).
    std::optional<FileDigest> digest;
    FileOwnership ownership;
};

// One journal line, without its line end: the fields separated by TAB, each with '%' and every
// byte below 0x20 or equal to 0x7F written as %XX; the kinds with a value name of their own
// carry it as a tenth field. Parsing gives nothing for a line that is not one.
std::string FormatJournalLine(const JournalEntry& entry);
std::optional<JournalEntry> ParseJournalLine(const std::string& line);

// The undo folder of the system the context's platform acts in, ending in the separator:
// AppPath + "Undo" for the machine's own system, Undo/Wine/<WinePrefixUndoName> for a Wine
// prefix, so that no restore puts one system's deletions back into another. Empty without a
// program folder.
std::string UndoFolder(const Context& context);
// "<the prefix folder's last part, each byte but an ASCII letter, digit, '.', '_' or '-' as '_',
// at most 32 bytes, "prefix" when none>-<the FNV-1a 64 hash of the whole folder path, 16 hex
// digits>".
std::string WinePrefixUndoName(const std::string& prefixFolder);
// Holds the undo folder, creating it and the folders on its way when missing; null when it
// cannot be held.
std::unique_ptr<HeldFolder> HoldUndoFolder(Context& context);
std::string KeptFolder(const Context& context);  // undo folder + "Kept" + separator
std::string JournalPath(const Context& context); // undo folder + "Journal.txt"
// Every entry in file order; a missing journal is empty, an unreadable one gives nothing.
// Lines that are not entries are skipped.
std::optional<std::vector<JournalEntry>> ReadJournal(const Context& context);
// Replaces the whole journal.
bool WriteJournal(const Context& context, const std::vector<JournalEntry>& entries);
// Moves Temp/Journal.txt and the copies it keeps in Temp/Kept/ into Undo/, once: when Undo/ has
// no journal yet. The kept paths of the moved lines are rewritten. Only the machine's own system
// has such a journal: for a Wine prefix nothing moves.
void MoveOlderJournal(Context& context, HeldFolder& backup, HeldFolder& kept);

struct FileDeletion {
    bool deleted = false;
    std::string copy; // where the file is kept; empty when no copy could be made
};
// Deletes the file `name` of `folder`, found for `entry`, while it is `identity`; keeps a copy
// and journals the deletion. With `backedUp`, the Temp/<entry> backup just made becomes the kept
// copy (a second name for it, once the file is gone); otherwise the file itself is copied first,
// and that copy is dropped again when the file stays.
// `remove` deletes the file in place of HeldFolder::deleteFile, where the file needs more.
using FileRemover = std::function<bool(HeldFolder&, const std::string&, const FileIdentity&)>;
FileDeletion DeleteKeepingCopy(Context& context, PassFolders& folders, const std::string& entry,
                               HeldFolder& folder, const std::string& name,
                               const FileIdentity& identity, bool backedUp,
                               const FileRemover& remove = {});

enum class ValueDeletion { Absent, Deleted, Failed };
// DeleteRegValue on the start-up key, journaling the value's data before it goes.
ValueDeletion DeleteRunValue(Context& context, RegRoot root, const std::string& entry);

// Journals a registry value as it is before a change made for `entry`: its data, under `kind`.
bool JournalValue(Context& context, JournalEntry::Kind kind, const std::string& entry, RegRoot root,
                  const std::string& key, const std::string& name, const std::string& data);

// Journals what `place` was before a change made for `entry` that is no file or registry value.
bool JournalChange(Context& context, JournalEntry::Kind kind, const std::string& entry,
                   const std::string& place, const std::string& before);

} // namespace pestrel
