#include "base/AsciiCase.h"
#include "platform/win32/Win32HeldFolder.h"
#include "platform/win32/Win32Platform.h"

namespace pestrel {

namespace {

// Closes a handle when the walk that needs it ends, however it ends.
class HandleCloser {
public:
    explicit HandleCloser(HANDLE handle) : handle_(handle) {}
    ~HandleCloser() {
        if (handle_ != nullptr)
            CloseHandle(handle_);
    }
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;

private:
    HANDLE handle_;
};

std::optional<std::string> programPath(Toolhelp& toolhelp, DWORD processId) {
    // A module snapshot of id 0 describes the calling process, not the idle process of that id.
    if (processId == 0)
        return std::nullopt;
    HANDLE modules = toolhelp.createSnapshot(TH32CS_SNAPMODULE, processId);
    if (modules == nullptr)
        return std::nullopt;
    HandleCloser closer(modules);
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    if (!toolhelp.module32First(modules, &module))
        return std::nullopt;
    return std::string(module.szExePath);
}

// The file at `path` by volume and file index, as held folders compare them before a deletion.
std::optional<FileIdentity> fileIdentity(const std::string& path) {
    const UniqueHandle file(CreateFileA(path.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    return file ? IdentityOf(file.get()) : std::nullopt;
}

// When the process was created, in 100 ns ticks; 0 when it cannot be told.
std::uint64_t creationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (process == nullptr || !GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (std::uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::uint64_t creationTime(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    HandleCloser closer(process);
    return creationTime(process);
}

} // namespace

std::vector<ProcessRecord> Win32Platform::processSnapshot(SnapshotDetail detail) {
    std::vector<ProcessRecord> records;
    HANDLE snapshot = toolhelp_.createSnapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == nullptr)
        return records;
    HandleCloser closer(snapshot);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = toolhelp_.process32First(snapshot, &entry); more;
         more = toolhelp_.process32Next(snapshot, &entry)) {
        ProcessRecord record;
        record.id = entry.th32ProcessID;
        record.exeFile = entry.szExeFile;
        if (detail == SnapshotDetail::ForEnding)
            record.startTime = creationTime(entry.th32ProcessID);
        if (detail != SnapshotDetail::Names)
            record.exePath = programPath(toolhelp_, entry.th32ProcessID);
        if (record.exePath && detail == SnapshotDetail::ForEnding)
            record.image = fileIdentity(*record.exePath);
        records.push_back(std::move(record));
    }
    return records;
}

bool Win32Platform::anyProgramPath(std::string_view name,
                                   const std::function<bool(std::string_view path)>& matches) {
    HANDLE snapshot = toolhelp_.createSnapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == nullptr)
        return false;
    HandleCloser closer(snapshot);
    // The process snapshot names each program's file. A module snapshot, which gives the path,
    // reads the other process's memory and is dear (under Wine a tenth of a second for a whole
    // walk), so only the processes whose file has the name are asked for it. A name that is a
    // whole path asks every process.
    const bool byFileName = name.find_first_of("\\/") == std::string_view::npos;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = toolhelp_.process32First(snapshot, &entry); more;
         more = toolhelp_.process32Next(snapshot, &entry)) {
        if (byFileName && !EqualsIgnoringAsciiCase(entry.szExeFile, name))
            continue;
        const std::optional<std::string> path = programPath(toolhelp_, entry.th32ProcessID);
        if (path && matches(*path))
            return true;
    }
    return false;
}

void Win32Platform::requestClose(const std::string& name) {
    HWND window = FindWindowA(nullptr, name.c_str());
    if (window == nullptr)
        return;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                        kCloseRequestTimeoutMs, &answer);
}

bool Win32Platform::terminateProcess(const ProcessRecord& record) {
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, TRUE, record.id);
    // The open handle holds the process, so its creation time tells whether the id still
    // names the process of the snapshot.
    if (process != nullptr && record.startTime != 0 && creationTime(process) != record.startTime) {
        CloseHandle(process);
        return false;
    }
    // Attempted even when the process could not be opened; the call then simply fails.
    const bool ended = TerminateProcess(process, 0) != 0;
    if (process != nullptr) {
        // TerminateProcess only starts the ending. Until the process is gone its program file
        // cannot be deleted, which is what callers do next.
        if (ended)
            WaitForSingleObject(process, kTerminationWaitMs);
        CloseHandle(process);
    }
    return ended;
}

} // namespace pestrel
