#pragma once
// Programs the platform runs on its own behalf (crontab, systemctl). What runs is chosen by the
// platform alone: a fixed path, a fixed environment, no descriptor of the caller's left open.

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pestrel {

struct ChildOutcome {
    int status = -1;    // the exit status; -1 when the program was ended by a signal or the timeout
    std::string output; // its standard output
};

// Who a child runs as, when not as the caller.
struct ChildIdentity {
    uid_t user = 0;
    gid_t group = 0;
    std::vector<gid_t> groups;
};

// Runs the program at `path` with `arguments`, `input` on its standard input and `environment`
// (NAME=value) as its whole environment; its standard error is discarded. Ended when it has not
// ended within `seconds`. Nothing when it could not be started.
std::optional<ChildOutcome>
RunChild(const std::string& path, const std::vector<std::string>& arguments,
         const std::string& input, const std::vector<std::string>& environment,
         const std::optional<ChildIdentity>& identity, int seconds = 10);

// /usr/bin/NAME or /bin/NAME when it is a regular executable file of root's, reached without a
// link; nothing when neither is.
std::optional<std::string> SystemProgram(const std::string& name);

} // namespace pestrel
