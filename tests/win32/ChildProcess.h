#pragma once
// A child process started from a program file under a chosen name, for tests that must find,
// inspect and end a real process. The child's standard output is a pipe; the constructor waits
// for its first line, so the child has started (and loaded its modules) when it returns.

#include <cstdint>
#include <string>
#include <windows.h>

namespace pestrel::test {

class ChildProcess {
public:
    // Runs `program` with `arguments`; the child must print one line when it is ready.
    ChildProcess(const std::string& program, const std::string& arguments);
    ~ChildProcess(); // ends the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    std::uint32_t id() const { return id_; }
    bool started() const { return process_ != nullptr; }
    // Waits until the child has ended; its exit code.
    DWORD waitForExit();

private:
    HANDLE process_ = nullptr;
    std::uint32_t id_ = 0;
};

} // namespace pestrel::test
