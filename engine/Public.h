#pragma once
// Shared routines of the kill engine: folders, process lookup and termination, registry
// routines and the repairs of hijacked settings. Failures are answers, as the platform's are.

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pestrel {

// --- folders and names ------------------------------------------------------------------------
std::string GetWinDir(Platform& platform);
std::string GetSysDir(Platform& platform);
// Everything up to and including the last separator (or ':' on Windows) of `path`, as it stands
// there: the rest of `path` is the file's name, whichever separator Windows was given.
std::string FolderOf(const std::string& path);
// `path` with one trailing separator unless it already has one; empty stays empty.
std::string WithTrailingSeparator(std::string path);
// folder + name, or nothing when the folder is empty or the name could reach outside the folder
// (a separator, a drive colon, NUL, a name of nothing but dots and blanks such as "." or "..").
// Every file name the engine builds from a list entry or a file line goes through here.
std::optional<std::string> JoinName(const std::string& folder, const std::string& name);
// The name match of the process table: the file-name part of `exeFile`, or the whole of it,
// equals `name` without regard to ASCII case.
bool ProcessMatchesName(const std::string& exeFile, const std::string& name);

// --- processes ----------------------------------------------------------------------------------
// The program-file text of every running process, in snapshot order.
std::vector<std::string> ListProcesses(Platform& platform);
// The same for a snapshot already taken.
std::vector<std::string> ListProcesses(const std::vector<ProcessRecord>& snapshot);
// Folder (ending in the separator) of the first process whose program path matches `name` by
// the name match above; empty when there is none. A name that is only part of a file name finds
// nothing, so a decoy whose name contains the name cannot stand in for the real program.
std::string FindProcessFolder(Platform& platform, const std::string& name);
// The match those two use: the file-name part of a program path, or the whole path, equals
// `name` without regard to ASCII case.
bool ProgramPathMatchesName(std::string_view path, const std::string& name);
// The record of that process in `snapshot` (taken WithPaths or ForEnding), or null.
const ProcessRecord* FindProgram(const std::vector<ProcessRecord>& snapshot,
                                 const std::string& name);
// Whether FindProcessFolder would find a folder for `name` now: a fresh walk of the processes
// that reads only their program paths and stops at the first match. Nothing is kept between
// calls, so a program that runs under the name from just before the call is found.
bool ProgramRuns(Platform& platform, const std::string& name);

// Answers FindProcessFolder for many names from one snapshot, giving the same answers a fresh
// lookup at the time of the snapshot would.
class ProcessFolderIndex {
public:
    explicit ProcessFolderIndex(Platform& platform);
    // From a snapshot taken WithPaths, for callers that also show the snapshot's names.
    explicit ProcessFolderIndex(const std::vector<ProcessRecord>& snapshot);
    std::string find(const std::string& name) const;
    // The record whose folder find() answers, or null.
    const ProcessRecord* program(const std::string& name) const;

private:
    std::vector<ProcessRecord> programs_; // processes with a readable program path, in order
    // Upper-cased file-name part and whole path -> first program of that name.
    std::unordered_map<std::string, std::size_t> byFileName_, byPath_;
};

// Asks `name` to close, then terminates the first process matching it. True when one matched.
bool KillProcessByName(Platform& platform, const std::string& name);
// The same, telling which process matched and whether it was ended.
struct EndedProcess {
    ProcessRecord process;
    bool ended = false;
};
std::optional<EndedProcess> EndFirstProcessNamed(Platform& platform, const std::string& name);
// Asks the process's name to close, then terminates that very process (never one that took its
// id since the snapshot). True when it was ended.
bool EndRecordedProcess(Platform& platform, const ProcessRecord& process);

// --- registry -----------------------------------------------------------------------------------
// `kind` is a RegValueKind; any other number writes nothing.
bool WriteRegValue(Platform& platform, RegRoot root, const std::string& key, int kind,
                   const std::string& name, const std::string& value);
bool DeleteRegValue(Platform& platform, RegRoot root, const std::string& key,
                    const std::string& name);

bool EnableRegistryTools(Platform& platform);
bool ResetTxtFileOpenCommand(Platform& platform);
bool ResetExeFileOpenCommand(Platform& platform);
bool ResetBrowserSettings(Platform& platform);
// Runs the four repairs above in order, each regardless of the others; always true.
bool RepairSystemSettings(Platform& platform);

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace pestrel
