#pragma once
// A private machine for the program file: a copy of it in the test machine's program folder, a
// data home whose pestrel folder is the test machine's data, and runs of it as a child process
// with no display in its environment.

#include "tests/support/TestMachine.h"

#include <map>
#include <string>
#include <vector>

namespace pestrel::test {

struct CliResult {
    int status = -1;
    std::string out, err;
    std::vector<std::string> lines() const; // standard output, line by line
};

class CliMachine {
public:
    CliMachine();
    TestMachine machine;
    Context& context() { return machine.context(); }
    Platform& platform() { return machine.platform(); }
    // The Windows and System folders as the program sees them (through its data home).
    std::string winDir() const { return dataHome_ + "/pestrel/Windows/"; }
    std::string sysDir() const { return winDir() + "System32/"; }
    // A name no other test's processes carry: "cli-<pid>-<stem>".
    std::string name(const std::string& stem) const;
    CliResult run(const std::vector<std::string>& arguments);
    // Every file and folder under the program folder and the data home, with its bytes and mode.
    std::map<std::string, std::string> snapshot() const;

private:
    std::string dataHome_;
};

} // namespace pestrel::test
