#pragma once
// The program's options. Without any the window opens.

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct CommandLine {
    enum class Action { Window, Kill, ListBackups, Restore, Autostart, Guard };
    Action action = Action::Window;
    std::optional<std::string> list;      // --list FILE (with --kill, --autostart or --guard)
    std::vector<std::string> scanFolders; // --scan DIR, each time it is given
    std::vector<std::string> ruleFolders; // --rules DIR, each time it is given
    // --max-file-size SIZE: files over it are neither hashed nor scanned by rules.
    std::optional<std::uint64_t> maxFileBytes;
    bool cleanAutostart = false; // --clean-autostart (with --kill or --guard)
    bool noRepair = false;
    bool dryRun = false;
    std::vector<std::string> names; // --restore NAME...
    // --wine-prefix DIR, each time it is given: once at most, but with --guard.
    std::vector<std::string> winePrefixes;
    bool stopWine = false;
    bool json = false; // --json: JSON Lines instead of TAB lines
    std::string error; // bad usage: the one line to show
};

// Reads the arguments (the program's own name first). --help and --version print their text and
// end the program.
CommandLine ParseCommandLine(const QStringList& arguments);

// Runs an action other than Window over `platform`, printing its lines; the exit status.
class Platform;
int RunCommandLine(const CommandLine& command, Platform& platform);
// The same over the platform of each --wine-prefix, in their order: only --guard takes several.
int RunCommandLine(const CommandLine& command, const std::vector<Platform*>& platforms);

} // namespace pestrel
