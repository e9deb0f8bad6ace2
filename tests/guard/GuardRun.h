#pragma once
// `pestrel --guard` run as a child of the test, never outliving it: killed when the test's
// thread ends (the parent-death signal) and, on every other path, when this object goes.

#include "tests/cli/CliRun.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace pestrel::test {

// Whether `done` comes true within `limit`, looked at every millisecond.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

class GuardRun {
public:
    // `user`: the uid and gid it runs as, 0 for root. A `setup` shell command runs first, as
    // root, in a private mount namespace the guard then runs in: it may mount over the
    // machine's own files without touching them.
    GuardRun(CliMachine& cli, const std::vector<std::string>& arguments, unsigned user = 0,
             const std::string& setup = {});
    // The guard's process (the commands before it replace themselves with it).
    pid_t pid() const { return run_.pid; }
    ~GuardRun();
    GuardRun(const GuardRun&) = delete;
    GuardRun& operator=(const GuardRun&) = delete;

    std::string out() const; // standard output so far
    std::string err() const;
    // Waits for a line of standard output or standard error that holds `text`.
    bool says(const std::string& text) const;
    // SIGTERM, and what it printed; the exit status is -1 when it did not end within 10 s.
    CliResult stop();

private:
    ChildRun run_;
    bool finished_ = false;
};

} // namespace pestrel::test
