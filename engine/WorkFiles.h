#pragma once
// The program's working files beside the program: the virus list, the settings, the pending
// library deletions, the deletion log, the process listing and the backup copies.

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

struct Context;

// The lines of a text by the line rules of the working files: SplitLines's lines, where a CR is
// never part of a line and a 0x1A byte ends the text.
std::vector<std::string> TextLines(std::string_view bytes);
// Reads a text file into TextLines. False when the file cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);
// Writes each line followed by CR LF, replacing the file atomically: on failure the old file
// stays whole and the answer is false.
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

// The text without the blanks (bytes 0..32) at either end.
std::string TrimBlanks(const std::string& text);
// True when the text holds more than blanks.
bool HasVisibleText(const std::string& line);

// The text of a list file as the engine reads it: a leading UTF-8 byte-order mark dropped, a
// UTF-16 text that begins with its byte-order mark (either order) decoded into the engine's own
// encoding. Nothing when such a UTF-16 text does not decode.
std::optional<std::string> ListFileText(std::string_view bytes);

struct VirusListLoad {
    std::vector<std::string> entries;
    bool ok = true; // false when the file could not be read or written back
};
// Loads AppPath + "VirusList.txt" (its text by ListFileText): keeps every line with visible text
// unchanged, rewrites the file in the working files' form (no byte-order mark, CR LF) when two
// or more entries were read, and creates it empty when missing.
VirusListLoad LoadVirusList(Context& context);
bool SaveVirusList(Context& context, const std::vector<std::string>& entries);

struct ListFile {
    enum class Status { Read, Unreadable, NotText };
    Status status = Status::Read;
    std::vector<std::string> entries;
    std::vector<std::string> warnings; // one for each malformed hash line, which matches nothing
};
// Reads a list by the virus list's rules (its text by ListFileText, every line with visible text,
// unchanged) and leaves the file as it is. A line holding a control byte other than TAB, or a
// UTF-16 text that does not decode, makes it NotText.
ListFile ReadListFile(const std::string& path);
// The same for the bytes of a list read elsewhere; nothing is an unreadable list.
ListFile ParseListFile(const std::optional<std::string>& bytes);

struct StartupSettings {
    std::string version;  // "Version" of [RunData], empty when missing
    bool firstRun = true; // "FirstRun" was exactly "True" (or missing)
};
// Reads Config.ini and records the first start.
StartupSettings ReadStartupSettings(Context& context);

// The user's choice of cleaning every autostart place (Context::cleanAutostart), kept as "Clean"
// in the [Autostart] section of Config.ini: off unless it reads exactly "True". Writing it is
// false when Config.ini cannot be written.
bool ReadCleanAutostartChoice(Context& context);
bool WriteCleanAutostartChoice(Context& context, bool clean);

// Appends one line to AppPath + "Temp.~txt". False when the file cannot be opened or written.
bool RecordPendingDeletion(Context& context, const std::string& entry);
// Removes every line naming `entry` from Temp.~txt, deleting the file when no line is left, so
// that a library put back is not deleted again at the next start. False on a failure.
bool ForgetPendingDeletion(Context& context, const std::string& entry);
// Deletes WinDir + line and SysDir + line for every line of Temp.~txt, then the file itself.
// False on a read failure.
bool RunPendingDeletions(Context& context);

// Logs a deleted file into [RunData] of the backup folder's Log.ini.
void LogDeletion(Context& context, const std::string& entry, const std::string& deletedPath);
// Creates the backup folder when it is missing.
void EnsureBackupFolder(Context& context);
// Copies the file `name` of `folder`, while it is `identity`, into the backup folder as
// <entry>, replacing an older copy. An entry named like a working file of the backup folder
// (Log.ini, in any letter case) is never backed up, so that its copy cannot replace the log.
bool BackupFile(HeldFolder& backup, HeldFolder& folder, const std::string& name,
                const FileIdentity& identity, const std::string& entry);

struct ProcessPathRecord {
    std::string process; // the process text as listed
    std::string folder;  // its folder, ending in the separator (may be empty)
};
// Replaces AppPath + "ProcessList.txt" with one record per process (no records: an empty file).
bool WriteProcessList(Context& context, const std::vector<ProcessPathRecord>& records);

} // namespace pestrel
