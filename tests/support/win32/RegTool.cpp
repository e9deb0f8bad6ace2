#include "tests/support/win32/RegTool.h"

#include <sstream>
#include <windows.h>

namespace pestrel::test {

namespace {

std::string systemFolder() {
    char buffer[MAX_PATH] = {};
    GetSystemDirectoryA(buffer, MAX_PATH);
    return buffer;
}

// Runs a command line with standard output captured; the exit code, or nothing when it could
// not be started.
std::optional<DWORD> capture(std::string commandLine, std::string& output) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return std::nullopt;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    const BOOL created = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    if (!created) {
        CloseHandle(readEnd);
        return std::nullopt;
    }
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
        output.append(chunk, got);
    CloseHandle(readEnd);
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return code;
}

} // namespace

std::optional<std::string> RegQuery(const std::string& key, const std::string& name) {
    std::string commandLine = "\"" + systemFolder() + "\\reg.exe\" query \"" + key + "\" ";
    commandLine += name.empty() ? "/ve" : "/v \"" + name + "\"";
    std::string output;
    const std::optional<DWORD> code = capture(commandLine, output);
    if (!code || *code != 0)
        return std::nullopt;
    return output;
}

std::optional<std::string> RegQueryData(const std::string& key, const std::string& name) {
    const std::optional<std::string> output = RegQuery(key, name);
    if (!output)
        return std::nullopt;
    // A value line reads: four blanks, name, four blanks, type, four blanks, data.
    std::istringstream lines(*output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (const char* type : {"REG_SZ", "REG_DWORD", "REG_EXPAND_SZ", "REG_BINARY"}) {
            const std::string marker = std::string("    ") + type + "    ";
            const std::size_t at = line.find(marker);
            if (at != std::string::npos)
                return line.substr(at + marker.size());
        }
    }
    return std::nullopt;
}

} // namespace pestrel::test
