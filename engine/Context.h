#pragma once
// The values every worker needs, filled in once when the main window is created.

#include <atomic>
#include <string>

namespace pestrel {

class Platform;

// Jobs a worker can be started for.
namespace RunModes {
inline constexpr int None = 0;
inline constexpr int KillPass = 1;
inline constexpr int ClearProcessList = 21;
inline constexpr int LockAllPathsButton = 31;
inline constexpr int ClearStatusText = 99;
} // namespace RunModes

struct Context {
    explicit Context(Platform& p) : platform(p) {}

    Platform& platform;
    std::string AppPath; // program folder, ending in the path separator
    std::string WinDir;  // Windows folder, ending in '\'/'/', or empty
    std::string SysDir;  // System folder, ending in '\'/'/', or empty
    // Job of the next worker; each worker copies it when it is created.
    std::atomic<int> RunMode{RunModes::None};

    std::string backupFolder() const; // AppPath + "Temp" + separator
};

// Fills AppPath, WinDir and SysDir from the platform and sets RunMode to 0.
void InitialiseContext(Context& context);

} // namespace pestrel
