#pragma once
// What the kill pass figures run in: sleeping processes that fill the process table, and a virus
// list of names that match no process and no file.

#include "engine/KillPass.h"

#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pestrel::bench {

// Sleeping copies of this program, so that the process table has the size of a busy desktop.
// Each ends with the bench at the latest.
class ExtraProcesses {
public:
    explicit ExtraProcesses(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                for (;;)
                    ::pause();
            }
            if (pid > 0)
                pids_.push_back(pid);
        }
    }
    ~ExtraProcesses() {
        for (pid_t pid : pids_)
            ::kill(pid, SIGKILL);
        for (pid_t pid : pids_)
            ::waitpid(pid, nullptr, 0);
    }
    ExtraProcesses(const ExtraProcesses&) = delete;
    ExtraProcesses& operator=(const ExtraProcesses&) = delete;

private:
    std::vector<pid_t> pids_;
};

// The virus list window, with entries that match no process and no file, and what the pass
// reports.
class MissingEntries final : public PassList {
public:
    explicit MissingEntries(int count) {
        for (int i = 0; i < count; ++i)
            entries.push_back("absent-" + std::to_string(i) + ".exe");
    }
    int count() override { return static_cast<int>(entries.size()); }
    std::optional<std::string> entry(int index) override {
        if (index < 0 || index >= count())
            return std::nullopt;
        return entries[static_cast<std::size_t>(index)];
    }

    std::vector<std::string> entries;
    PassLog reports;
};

} // namespace pestrel::bench
