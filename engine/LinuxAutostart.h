#pragma once
// The places Linux programs start from: XDG autostart entries, systemd services and crontab
// lines, where the platform has them. Read into the autostart index once per pass, taken out for
// a listed program with the owner's rights, journaled, and put back by the undo.

#include <string>
#include <vector>

namespace pestrel {

struct AutostartEntry;
struct Context;
struct JournalEntry;
struct PassFolders;
struct RestoreOutcome;
class AutostartIndex;
class PassSink;

// Each user's ~/.config/autostart/*.desktop, ~/.config/systemd/user/*.service and crontab, and
// for the administrator /etc/xdg/autostart and /etc/systemd/system. A file is read only when it
// is a regular file (never through a link) of its folder's user or root. A malformed one is
// noted in the index and nothing else.
void ReadLinuxAutostartPlaces(Context& context, AutostartIndex& index);

// The folders these places' files lie in, whether they exist or not: each user's autostart and
// unit folders and, for the administrator, the machine's and the crontabs' folder.
std::vector<std::string> LinuxAutostartFolders(Context& context);

// Takes the place out while it still starts `entry`: a desktop entry is deleted; a service is
// stopped (while systemd runs), its links in the folder's *.wants/ and *.requires/ removed and
// its file deleted, then systemd reloads; the crontab is written again without the lines that
// start the entry. Files go with a kept copy; links and crontabs are journaled with what they
// were. Reports `desktop PATH EXEC`, `link PATH TARGET`, `unit PATH`, `cron USER LINE`.
void RemoveLinuxAutostartEntry(Context& context, PassFolders& folders, PassSink& sink,
                               const AutostartEntry& place, const std::string& entry);

// Whether a journal line is a link or a crontab of these places.
bool IsLinuxPlaceRecord(const JournalEntry& item);
// Puts a link back (`relink PATH TARGET`), never over an entry that is there, or the crontab's
// lines (`cronrestore USER LINE`): the whole crontab as it was when nothing changed it since,
// otherwise the lines missing from it added at its end. True when it was put back.
bool PutLinuxPlaceBack(Context& context, const JournalEntry& item, PassSink& sink,
                       RestoreOutcome& outcome);

} // namespace pestrel
