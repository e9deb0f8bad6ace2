#include "engine/Public.h"

#include "base/AsciiCase.h"

#include <algorithm>

namespace pestrel {
namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "\\/:";
#else
constexpr const char* kSeparators = "/";
#endif

// A folder value as the engine keeps it: cut at the first NUL, ending in the separator, empty
// when the platform gave nothing or more than the 127 characters a Windows buffer holds.
std::string FolderValue(std::string path) {
    path.resize(std::min(path.size(), path.find('\0')));
    if (path.empty() || path.size() > 127)
        return {};
    return WithTrailingSeparator(std::move(path));
}

} // namespace

std::string GetWinDir(Platform& platform) {
    return FolderValue(platform.windowsFolder());
}

std::string GetSysDir(Platform& platform) {
    return FolderValue(platform.systemFolder());
}

std::string FolderOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos)
        return {};
    return path.substr(0, last + 1);
}

bool RegularFileAt(Platform& platform, const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::unique_ptr<HeldFolder> held = folder.empty() ? nullptr : platform.holdFolder(folder);
    return held && held->fileIdentity(path.substr(folder.size()));
}

std::string WithTrailingSeparator(std::string path) {
    if (!path.empty() && path.back() != kPathSeparator)
        path += kPathSeparator;
    return path;
}

std::optional<std::string> JoinName(const std::string& folder, const std::string& name) {
    // Both separators count on every platform: a name typed or read from a file is never a path.
    // Two dots inside a name ("setup..exe") stay inside the folder. A name of nothing but dots
    // and blanks points at the folder or its parent: Windows trims trailing dots and blanks, so
    // "... " is the folder itself there.
    if (folder.empty() || name.find_first_not_of(". ") == std::string::npos ||
        name.find_first_of(std::string_view("/\\:\0", 4)) != std::string::npos)
        return std::nullopt;
    return folder + name;
}

bool ProcessMatchesName(const std::string& exeFile, const std::string& name) {
    return ProgramPathMatchesName(exeFile, name);
}

std::vector<std::string> ListProcesses(Platform& platform) {
    return ListProcesses(platform.processSnapshot(SnapshotDetail::Names));
}

std::vector<std::string> ListProcesses(const std::vector<ProcessRecord>& snapshot) {
    std::vector<std::string> names;
    names.reserve(snapshot.size());
    for (const ProcessRecord& record : snapshot)
        names.push_back(record.exeFile);
    return names;
}

std::string FindProcessFolder(Platform& platform, const std::string& name) {
    const std::vector<ProcessRecord> snapshot = platform.processSnapshot(SnapshotDetail::WithPaths);
    const ProcessRecord* found = FindProgram(snapshot, name);
    return found ? FolderOf(*found->exePath) : std::string();
}

bool ProgramPathMatchesName(std::string_view path, const std::string& name) {
    const std::size_t last = path.find_last_of(kSeparators);
    const std::string_view fileName = path.substr(last == std::string::npos ? 0 : last + 1);
    return EqualsIgnoringAsciiCase(fileName, name) || EqualsIgnoringAsciiCase(path, name);
}

const ProcessRecord* FindProgram(const std::vector<ProcessRecord>& snapshot,
                                 const std::string& name) {
    for (const ProcessRecord& record : snapshot) {
        if (record.exePath && ProgramPathMatchesName(*record.exePath, name))
            return &record;
    }
    return nullptr;
}

bool ProgramRuns(Platform& platform, const std::string& name) {
    return platform.anyProgramPath(
        name, [&name](std::string_view path) { return ProgramPathMatchesName(path, name); });
}

ProcessFolderIndex::ProcessFolderIndex(Platform& platform)
    : ProcessFolderIndex(platform.processSnapshot(SnapshotDetail::WithPaths)) {}

ProcessFolderIndex::ProcessFolderIndex(const std::vector<ProcessRecord>& snapshot) {
    for (const ProcessRecord& record : snapshot) {
        if (!record.exePath)
            continue;
        const std::string& path = *record.exePath;
        const std::size_t last = path.find_last_of(kSeparators);
        const std::size_t at = programs_.size();
        byFileName_.try_emplace(UpperAscii(path.substr(last == std::string::npos ? 0 : last + 1)),
                                at);
        byPath_.try_emplace(UpperAscii(path), at);
        programs_.push_back(record);
    }
}

const ProcessRecord* ProcessFolderIndex::program(const std::string& name) const {
    // The name match of the process table, looked up: the first program whose file-name part,
    // or whose whole path, is the name.
    const std::string upper = UpperAscii(name);
    std::size_t first = programs_.size();
    for (const auto* map : {&byFileName_, &byPath_}) {
        if (const auto found = map->find(upper); found != map->end())
            first = std::min(first, found->second);
    }
    return first < programs_.size() ? &programs_[first] : nullptr;
}

std::string ProcessFolderIndex::find(const std::string& name) const {
    const ProcessRecord* found = program(name);
    return found ? FolderOf(*found->exePath) : std::string();
}

bool KillProcessByName(Platform& platform, const std::string& name) {
    return EndFirstProcessNamed(platform, name).has_value();
}

std::optional<EndedProcess> EndFirstProcessNamed(Platform& platform, const std::string& name) {
    platform.requestClose(name);
    for (const ProcessRecord& record : platform.processSnapshot(SnapshotDetail::ForEnding)) {
        if (ProcessMatchesName(record.exeFile, name))
            return EndedProcess{record, platform.terminateProcess(record)};
    }
    return std::nullopt;
}

bool EndRecordedProcess(Platform& platform, const ProcessRecord& process) {
    platform.requestClose(process.exeFile);
    return platform.terminateProcess(process);
}

} // namespace pestrel
