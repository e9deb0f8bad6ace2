#pragma once
// Wine's processes as /proc shows them. A Windows program is a Linux process whose program file
// is Wine's loader, whose first argument is the Windows path of the program and whose command
// name is its file name cut to 15 characters. The prefix it belongs to is WINEPREFIX of its
// environment, or ~/.wine without one.

#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pestrel::wine {

class WinePrefix;

// What /proc tells of one process.
struct ProcFacts {
    std::uint32_t id = 0;
    std::string exe;         // target of /proc/ID/exe
    std::string comm;        // /proc/ID/comm without its line break
    std::string commandLine; // /proc/ID/cmdline: arguments, each ended by NUL
    std::string environment; // /proc/ID/environ: NAME=value, each ended by NUL
    std::string cwd;         // target of /proc/ID/cwd
};

enum class WineRole {
    Other,   // not Wine's
    Program, // a Windows program
    Service, // a Windows program that is part of Wine itself
    Server,  // the wineserver
};

struct WineProcess {
    WineRole role = WineRole::Other;
    std::string prefix;      // the prefix folder the process names
    std::string windowsPath; // Program and Service: the Windows path of the program
    std::string name;        // Program and Service: its file name
};

// `home` stands in for a process without HOME when it has no WINEPREFIX either.
WineProcess RecognizeProcess(const ProcFacts& facts, const std::string& home);

// Whether a recognised process belongs to `prefix`. A wineserver's working folder names the
// prefix's folder exactly; the others go by the folder they name.
bool BelongsTo(const ProcFacts& facts, const WineProcess& process, const WinePrefix& prefix);

// The Windows programs of `prefix` that are not part of Wine, ascending by id. Only a process
// that runs as the prefix's owner and whose image is Wine's loader as the system installed it
// (root's, in a folder only root can change) counts. The program path and image are those of the
// file of the program's name mapped into the process, absent when none is; what its arguments
// claim is never taken for it. A ForEnding record also holds the start time of its process.
std::vector<ProcessRecord> ReadPrefixProcesses(const WinePrefix& prefix, SnapshotDetail detail);
// Whether the prefix's wineserver runs.
bool ServerRuns(const WinePrefix& prefix);
// Ends the record's process when it is still that process and a Windows program of `prefix`,
// named as recorded, that is not part of Wine, by the same tests.
bool EndPrefixProcess(const WinePrefix& prefix, const ProcessRecord& record);

} // namespace pestrel::wine
