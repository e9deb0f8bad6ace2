#pragma once
// Everything platform-specific the engine tests need: a temporary machine with its own Windows
// folder, System folder, registry and program folder, and real running programs. One
// implementation per platform (TestMachinePosix.cpp here).

#include "engine/Context.h"
#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pestrel::test {

// A running copy of the helper program. Destroying it ends the process and cleans up.
class RunningProgram {
public:
    virtual ~RunningProgram() = default;
    virtual std::uint32_t id() const = 0;
    virtual bool alive() = 0;
    // True once the process has ended; waits a bounded time for one that was just told to end.
    virtual bool ended() = 0;
};

struct ProgramOptions {
    bool ignoreCloseRequest = false; // survives the polite request; only forced ending works
    // POSIX only: the user the program runs as (0: the tests' own), a shell command it runs when
    // asked to end, whether the file already at its path is started as it is, and a path where
    // another copy of the helper is put, which the program becomes when sent SIGUSR1.
    std::uint32_t user = 0;
    std::string onCloseRequest{};
    bool startFileAsItIs = false;
    std::string execOnSignal{};
};

class TestMachine {
public:
    TestMachine();
    ~TestMachine();

    Platform& platform();
    // AppPath is <root>app<sep>; WinDir and SysDir come from the platform.
    Context& context();
    // A fresh folder, ending in the separator, that is removed with the machine.
    const std::string& root() const;

    // Copies the helper program to folder + name (folder ends in the separator) and starts it.
    std::unique_ptr<RunningProgram> startProgram(const std::string& folder, const std::string& name,
                                                 ProgramOptions options = {});
    // The hive of `root` refuses writes from now on, as for a user without administrator rights.
    void makeHiveRefuse(RegRoot root);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace pestrel::test
