#include "app/GuardService.h"

#include "app/CommandLine.h"

#include <cstdio>
#include <windows.h>

namespace pestrel {
namespace {

constexpr int kNotAService = 1;

const CommandLine* serviceCommand = nullptr;
Platform* servicePlatform = nullptr;
int guardStatus = kNotAService;
SERVICE_STATUS_HANDLE statusHandle = nullptr;

void Report(DWORD state, DWORD exitCode = NO_ERROR) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode == NO_ERROR ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
    status.dwServiceSpecificExitCode = exitCode;
    status.dwWaitHint = state == SERVICE_STOP_PENDING ? 10000 : 0;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
    if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
        Report(SERVICE_STOP_PENDING);
        StopGuard();
    }
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    // An own-process service: the manager takes any name here.
    statusHandle = RegisterServiceCtrlHandlerExW(L"", OnControl, nullptr);
    if (statusHandle == nullptr)
        return;
    Report(SERVICE_RUNNING);
    guardStatus = RunCommandLine(*serviceCommand, *servicePlatform);
    Report(SERVICE_STOPPED, DWORD(guardStatus));
}

} // namespace

bool AsksForService(const QStringList& arguments) {
    return arguments.value(1) == QLatin1String("--service");
}

QStringList GuardArguments(QStringList arguments) {
    arguments[1] = QStringLiteral("--guard");
    return arguments;
}

int RunGuardService(const CommandLine& command, Platform& platform) {
    serviceCommand = &command;
    servicePlatform = &platform;
    wchar_t name[] = L"";
    const SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherW(table)) {
        std::fprintf(stderr, "pestrel: --service is for the service control manager; run "
                             "--guard to guard from a console\n");
        return kNotAService;
    }
    return guardStatus;
}

} // namespace pestrel
