#pragma once
// What the kill pass, the guard and the restore changed, or tried to change, told to a sink that
// shows it: the window, the command line's printer, a list kept in memory.

#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pestrel {

enum class PassVerb : std::uint8_t {
    Match,       // a file whose content a hash line or a rule matched
    Scan,        // a folder that could not be scanned
    Unscanned,   // a file left unscanned, and why
    Terminate,   // a process ended
    Backup,      // a file copied into the backup folder
    Delete,      // a file deleted, with its kept copy
    Pending,     // a library recorded for deletion at the next start
    RegDelete,   // a start-up value named like an entry
    Autostart,   // another autostart value that starts an entry
    Shortcut,    // a Start-up folder shortcut
    Task,        // a scheduled task
    Desktop,     // an XDG autostart entry
    Link,        // a systemd unit's link
    Unit,        // a systemd unit
    Cron,        // a crontab line
    Repair,      // a system setting set back
    Restore,     // a file put back
    RegRestore,  // a value put back
    Relink,      // a unit's link put back
    CronRestore, // a crontab line put back
    Skip,        // an item the restore left as it is
    Denied,      // a program start the guard refused
    Status,      // no change: what the pass is at now, the window's status text
};

struct PassAction {
    PassVerb verb;
    std::vector<std::string> fields; // what it acted on, in the order they are shown
    bool failed = false;
};

// The verb as the command line prints it ("terminate", "regdelete").
const char* VerbName(PassVerb verb);
// The names of the verb's fields in the order the action lists them: the keys of its JSON
// object. A verb that leaves out a middle field keeps the last name for its last field.
std::span<const char* const> FieldNames(PassVerb verb);

// Whoever hears what a pass does, each action as it happens.
class PassSink {
public:
    virtual ~PassSink() = default;
    virtual void report(const PassAction& action) = 0;
};

// A sink that keeps every change, in order; status texts are not changes and are not kept.
class PassLog final : public PassSink {
public:
    void report(const PassAction& action) override;
    std::vector<PassAction> actions;
};

// "HKEY_LOCAL_MACHINE" and so on, and back.
std::string RegRootName(RegRoot root);
std::optional<RegRoot> RegRootNamed(const std::string& name);
// root\key, the way a value's place is shown and journaled.
std::string RegPlace(RegRoot root, const std::string& key);
// A value's data as text: the text itself, or the decimal number.
std::string RegData(const RegValue& value);

} // namespace pestrel
