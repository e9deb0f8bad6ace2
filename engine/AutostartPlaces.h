#pragma once
// The registry places a program starts from besides the start-up key named like it, read once
// per pass into an index by the file name of the program each entry starts.

#include "engine/PassAction.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace pestrel {

struct Context;

struct AutostartEntry {
    enum class Kind {
        Value,   // a value whose data is a command line: Run keys, a debugger
        List,    // one item of a list value: Winlogon's Shell and Userinit, AppInit_DLLs
        Service, // a service, by its ImagePath; disabled through its Start
        // A file that starts a program: one in a Start-up folder (the program itself, or a
        // shortcut), or a scheduled task's definition. `key` is the folder holding it, ending
        // in the separator, `name` the file's name, `data` the target or command it names.
        StartupFile,
        Shortcut,
        Task,
        // Linux: an XDG desktop entry, a systemd service (key: its folder, name: its file) and a
        // crontab line (key: the user, name: the line).
        Desktop,
        Unit,
        Cron,
    };
    Kind kind = Kind::Value;
    RegRoot root = RegRoot::LocalMachine;
    std::string key;     // the key holding the value (for a service, the service's key)
    std::string name;    // the value's name (for a service, ImagePath)
    std::string data;    // the value's data as read (a list: the whole list)
    std::string program; // what it starts
    std::string user{};  // Linux: whose place it is ("" for the machine's own)
    // Whose word the place is: the user who can change it (0: the administrator). What it names
    // is acted on with that user's rights only.
    std::uint32_t owner = 0;
};

// Whether the entry is a start-up value of the Run key of either root: the one place every pass
// cleans, of the values named like a list entry.
bool IsRunValue(const AutostartEntry& entry);

// The place an entry lies in, as a person reads it: ROOT\KEY of a value, the folder of a file,
// "crontab USER".
std::string AutostartPlaceText(const AutostartEntry& entry);

class AutostartIndex {
public:
    void add(AutostartEntry entry);
    // Every entry, in the order the places were read.
    const std::vector<AutostartEntry>& entries() const { return entries_; }
    // The entries whose program's file name is `fileName`, without regard to ASCII case.
    std::vector<const AutostartEntry*> starting(const std::string& fileName) const;
    // A place that is not what its format allows, reported failed once per pass.
    void addMalformed(PassAction report) { malformed_.push_back(std::move(report)); }
    const std::vector<PassAction>& malformed() const { return malformed_; }

private:
    std::vector<AutostartEntry> entries_;
    std::vector<PassAction> malformed_;
    std::unordered_map<std::string, std::vector<std::size_t>> byFileName_; // upper-cased
};

// The variables a start-up command line may use, as the context knows them; the Windows folder
// as Windows names it.
std::optional<std::string> ContextVariable(const Context& context, const std::string& name);
// The program of a command line read in this context.
std::string ProgramOf(const Context& context, const std::string& commandLine);

// Reads every registry place: the Run, RunOnce, RunServices, RunServicesOnce and policy Run keys
// of both roots and their 32-bit views, Winlogon's Shell and Userinit, AppInit_DLLs, the
// debuggers of Image File Execution Options and the services' ImagePath; then the Start-up
// folders, the scheduled tasks and, where the platform has them, the Linux places.
AutostartIndex ReadAutostartPlaces(Context& context);

// The registry keys ReadAutostartPlaces reads, each with the sub-keys it reads below it.
std::vector<RegKeyPath> AutostartKeys(Platform& platform);

// The separators of a list value's items.
std::string_view ListSeparators(const std::string& valueName);
// What a list value holds when nothing of it stays: Windows' own default.
std::string EmptyListValue(const std::string& valueName);

inline constexpr const char* kServicesKey = "System\\CurrentControlSet\\Services";

} // namespace pestrel
