#pragma once
// A running copy of the tests' helper program, started under a chosen name. The helper writes a
// file once it runs; the constructor waits for that file, so the child has loaded its modules
// when it returns and a module snapshot can read its program path.

#include <cstdint>
#include <string>
#include <windows.h>

namespace pestrel::test {

// The helper program, which the build puts beside every test program.
std::string HelperProgram();

class ChildProcess {
public:
    // Copies the helper to `path` and runs it with the extra `options`, telling it to write
    // `readyFile`. started() is false when that failed.
    ChildProcess(const std::string& path, const std::string& options, const std::string& readyFile);
    ~ChildProcess(); // ends the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    std::uint32_t id() const { return id_; }
    bool alive() const;
    // True once the child has ended, waiting at most `milliseconds`.
    bool waitForExit(DWORD milliseconds) const;
    DWORD exitCode() const;

private:
    HANDLE process_ = nullptr;
    std::uint32_t id_ = 0;
};

} // namespace pestrel::test
