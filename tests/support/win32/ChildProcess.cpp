#include "tests/support/win32/ChildProcess.h"

namespace pestrel::test {

namespace {

constexpr DWORD kReadyWaitMs = 10000;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string HelperProgram() {
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, length);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "pestrel_test_helper.exe";
}

ChildProcess::ChildProcess(const std::string& path, const std::string& options,
                           const std::string& readyFile) {
    if (!CopyFileA(HelperProgram().c_str(), path.c_str(), FALSE))
        return;
    std::string commandLine = "\"" + path + "\" " + options + " --ready \"" + readyFile + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    // Waiting on the process both paces the loop and stops it early if the child dies.
    for (DWORD waited = 0; waited < kReadyWaitMs && !Exists(readyFile); ++waited)
        if (waitForExit(1))
            return;
}

ChildProcess::~ChildProcess() {
    if (process_ == nullptr)
        return;
    if (alive()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, INFINITE);
    }
    CloseHandle(process_);
}

bool ChildProcess::alive() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::waitForExit(DWORD milliseconds) const {
    return process_ != nullptr && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

DWORD ChildProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

} // namespace pestrel::test
