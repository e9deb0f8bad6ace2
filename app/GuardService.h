#pragma once
// Windows: the guard as a service of the machine. The service's command line is the program's
// with --service in place of --guard ("pestrel.com --service --list FILE"); the service control
// manager starts it, and its Stop ends the guard as Ctrl+C does.

#include <QStringList>

namespace pestrel {

struct CommandLine;
class Platform;

// Whether `arguments` (the program's own name first) ask for the service.
bool AsksForService(const QStringList& arguments);
// `arguments` with --service read as --guard.
QStringList GuardArguments(QStringList arguments);

// Runs the guard of `command` as the service until the manager stops it; the guard's exit
// status, or 1 when the program was not started by the service control manager.
int RunGuardService(const CommandLine& command, Platform& platform);

// Ends a running guard from another thread.
void StopGuard();

} // namespace pestrel
