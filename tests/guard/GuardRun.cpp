#include "tests/guard/GuardRun.h"

#include "tests/support/TestFiles.h"

#include <csignal>
#include <sys/wait.h>
#include <thread>

namespace pestrel::test {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

GuardRun::GuardRun(CliMachine& cli, const std::vector<std::string>& arguments, unsigned user,
                   const std::string& setup) {
    std::vector<std::string> setpriv = {"--pdeathsig", "KILL"};
    if (user != 0)
        setpriv.insert(setpriv.end(), {"--reuid", std::to_string(user), "--regid",
                                       std::to_string(user), "--clear-groups"});
    setpriv.insert(setpriv.end(), {"--", cli.context().AppPath + "pestrel", "--guard"});
    setpriv.insert(setpriv.end(), arguments.begin(), arguments.end());
    const std::vector<std::string> variables = {"XDG_DATA_HOME=" + cli.machine.root() + "home"};
    if (setup.empty()) {
        run_ = StartProgram("/usr/bin/setpriv", setpriv, variables, cli.machine.root());
        return;
    }
    std::vector<std::string> unshare = {"--mount",
                                        "--propagation",
                                        "private",
                                        "--",
                                        "/bin/sh",
                                        "-c",
                                        setup + " && exec \"$0\" \"$@\"",
                                        "/usr/bin/setpriv"};
    unshare.insert(unshare.end(), setpriv.begin(), setpriv.end());
    run_ = StartProgram("/usr/bin/unshare", unshare, variables, cli.machine.root());
}

GuardRun::~GuardRun() {
    if (!finished_) {
        ::kill(run_.pid, SIGKILL);
        FinishProgram(run_);
    }
}

std::string GuardRun::out() const {
    return ReadFile(run_.out).value_or("");
}

std::string GuardRun::err() const {
    return ReadFile(run_.err).value_or("");
}

bool GuardRun::says(const std::string& text) const {
    return WaitUntil([&] {
        return out().find(text) != std::string::npos || err().find(text) != std::string::npos;
    });
}

CliResult GuardRun::stop() {
    ::kill(run_.pid, SIGTERM);
    int status = 0;
    const bool ended = WaitUntil([&] { return ::waitpid(run_.pid, &status, WNOHANG) == run_.pid; });
    if (!ended)
        ::kill(run_.pid, SIGKILL);
    CliResult result = FinishProgram(run_);
    finished_ = true;
    result.status = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace pestrel::test
