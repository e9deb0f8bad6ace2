#pragma once
// The program file run as a child process with no display in its environment, and a private
// machine for it: a copy of it in the test machine's program folder and a data home of its own.

#include "engine/Context.h"
#include "platform/posix/PosixPlatform.h"
#include "tests/support/TestMachine.h"

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pestrel::test {

struct CliResult {
    int status = -1;
    std::string out, err;
    std::vector<std::string> lines() const; // standard output, line by line
};

// A child started by StartProgram, its output going to files.
struct ChildRun {
    pid_t pid = 0;
    std::string out, err;
};

// Starts `program` with `arguments` in this process's environment less the display variables
// and QT_QPA_PLATFORM, with `variables` (NAME=value) in place of any of the same name; its output
// goes to files in the folder `scratch`.
ChildRun StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& variables, const std::string& scratch);
// Waits for the child and takes its output.
CliResult FinishProgram(const ChildRun& run);

class CliMachine {
public:
    CliMachine();
    TestMachine machine;
    // The program's view: its program folder, and the Windows and System folders and registry
    // under its data home.
    Context& context() { return context_; }
    Platform& platform() { return platform_; }
    std::string winDir() const { return context_.WinDir; }
    std::string sysDir() const { return context_.SysDir; }
    // A name no other test's processes carry: "cli-<pid>-<stem>".
    std::string name(const std::string& stem) const;
    CliResult run(const std::vector<std::string>& arguments);
    // Every file and folder under the program folder and the data home, with its bytes and mode.
    std::map<std::string, std::string> snapshot() const;

private:
    std::string dataHome_;
    PosixPlatform platform_;
    Context context_{platform_};
};

} // namespace pestrel::test
