// The guard against the machine without it: program starts of unlisted programs with the guard
// answering for each against the same starts without it; listed programs started under it (none
// may run), one by one and as a flood of links to one file; listed files dropped into a watched
// folder until they are gone; and, for a guard without root, listed programs from their start
// until the poll has ended them.
#include "bench/Figures.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr const char* kListed = "pgbench-listed.exe";
constexpr unsigned kNobody = 65534;

pid_t Spawn(const std::vector<std::string>& command, const std::string& output = "/dev/null") {
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    ::posix_spawn_file_actions_init(&files);
    ::posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    ::posix_spawn_file_actions_addopen(&files, 2, output.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                       0600);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&files);
    return error == 0 ? pid : -1;
}

bool Reaped(pid_t pid) {
    return ::waitpid(pid, nullptr, WNOHANG) == pid;
}

double P99(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    return seconds[std::min(seconds.size() - 1, seconds.size() * 99 / 100)];
}

// A private program folder with a copy of the program and a list of one name, and the guard
// over it, run as `user` (0: root) and killed when this goes, or when the bench dies.
class GuardedMachine {
public:
    explicit GuardedMachine(unsigned user) {
        static int machines = 0;
        root_ = fs::temp_directory_path() / ("pestrel-guard-bench-" + std::to_string(getpid()) +
                                             "-" + std::to_string(++machines));
        fs::remove_all(root_);
        fs::create_directories(root_ / "app");
        fs::copy_file(PESTREL_PROGRAM, root_ / "app" / "pestrel");
        std::ofstream(root_ / "list.txt") << kListed << "\n";
        fs::create_directories(root_ / "home" / "pestrel" / "Windows" / "System32");
        if (user != 0 && std::system(("chown -R 65534:65534 " + root_.string()).c_str()) != 0)
            return;
        std::vector<std::string> command = {"/usr/bin/setpriv", "--pdeathsig", "KILL"};
        if (user != 0)
            command.insert(command.end(), {"--reuid", std::to_string(user), "--regid",
                                           std::to_string(user), "--clear-groups"});
        command.insert(command.end(),
                       {"--", "/usr/bin/env", "XDG_DATA_HOME=" + (root_ / "home").string(),
                        (root_ / "app" / "pestrel").string(), "--guard", "--list",
                        (root_ / "list.txt").string()});
        guard_ = Spawn(command, (root_ / "guard.log").string());
        // Ready once it has said how it guards.
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < end && !said("guarding") && !said("cannot refuse"))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~GuardedMachine() {
        if (guard_ > 0) {
            ::kill(guard_, SIGKILL);
            ::waitpid(guard_, nullptr, 0);
        }
        fs::remove_all(root_);
    }
    bool said(const std::string& text) const {
        std::ifstream log(root_ / "guard.log");
        const std::string bytes((std::istreambuf_iterator<char>(log)), {});
        return bytes.find(text) != std::string::npos;
    }
    const fs::path& root() const { return root_; }
    fs::path systemFolder() const { return root_ / "home" / "pestrel" / "Windows" / "System32"; }

private:
    fs::path root_;
    pid_t guard_ = -1;
};

double StartTrue(int times) {
    return pestrel::bench::SecondsOf([&] {
        for (int i = 0; i < times; ++i)
            ::waitpid(Spawn({"/bin/true"}), nullptr, 0);
    });
}

// Program starts: the guard started and stopped around each measured round.
void BM_GuardExec(benchmark::State& state) {
    if (::geteuid() != 0)
        return state.SkipWithError("the guard refuses starts only as root");
    for (auto _ : state)
        pestrel::bench::ReportInterleavedFigure(
            "guard_exec_2000_true_vs_without", 1.1, 7,
            [] {
                const GuardedMachine guarded(0);
                return StartTrue(2000);
            },
            [] { return StartTrue(2000); });
}
BENCHMARK(BM_GuardExec)->Iterations(1)->Unit(benchmark::kMillisecond);

// 3,000 hard links of one listed script, each in a folder of its own, started by three loops at
// once as fast as they can: a start that ran appends to the mark file.
void BM_GuardFlood(benchmark::State& state) {
    if (::geteuid() != 0)
        return state.SkipWithError("the guard refuses starts only as root");
    for (auto _ : state) {
        const GuardedMachine guarded(0);
        const fs::path mark = guarded.root() / "ran";
        const fs::path script = guarded.root() / "listed";
        std::ofstream(script) << "#!/bin/sh\necho ran >> " << mark.string() << "\n";
        fs::permissions(script, fs::perms::owner_all);
        for (int i = 0; i < 3000; ++i) {
            const fs::path folder = guarded.root() / "links" / std::to_string(i);
            fs::create_directories(folder);
            fs::create_hard_link(script, folder / kListed);
        }
        const fs::path flood = guarded.root() / "flood.sh";
        std::ofstream(flood) << "for i in $(seq $1 3 2999); do " << guarded.root().string()
                             << "/links/$i/" << kListed << " 2>/dev/null & done; wait\n";
        const std::string loops = "for j in 0 1 2; do sh " + flood.string() + " $j & done; wait";
        ::waitpid(Spawn({"/bin/sh", "-c", loops}), nullptr, 0);
        std::ifstream ran(mark);
        int lines = 0;
        for (std::string line; std::getline(ran, line);)
            ++lines;
        pestrel::bench::ReportDirectFigure("guard_flood_3000_listed_starts_that_ran", lines, 0);
    }
}
BENCHMARK(BM_GuardFlood)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GuardFigures(benchmark::State& state) {
    if (::geteuid() != 0)
        return state.SkipWithError("the guard refuses starts only as root");
    for (auto _ : state) {
        const GuardedMachine guarded(0);
        // Listed programs started 1,000 times, each a fresh copy: a start that ran writes its
        // mark file.
        int ran = 0;
        const fs::path mark = guarded.root() / "ran";
        for (int i = 0; i < 1000; ++i) {
            const fs::path folder = guarded.root() / "drops" / std::to_string(i);
            fs::create_directories(folder);
            fs::copy_file(PESTREL_TEST_HELPER, folder / kListed);
            const pid_t pid = Spawn({(folder / kListed).string(), "--ready", mark.string()});
            if (pid > 0) {
                const auto end = Clock::now() + std::chrono::milliseconds(500);
                while (!Reaped(pid) && !fs::exists(mark) && Clock::now() < end)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
            ran += fs::exists(mark);
            fs::remove(mark);
        }
        pestrel::bench::ReportDirectFigure("guard_listed_starts_that_ran_of_1000", ran, 0);
        // The refused files are removed one after the other; the drops are timed once they are.
        const auto removed = [&] {
            for (int i = 0; i < 1000; ++i) {
                if (fs::exists(guarded.root() / "drops" / std::to_string(i) / kListed))
                    return false;
            }
            return true;
        };
        for (const auto end = Clock::now() + std::chrono::seconds(120);
             !removed() && Clock::now() < end;)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));

        // Listed files dropped into the System folder until each is gone.
        std::vector<double> drops;
        const fs::path dropped = guarded.systemFolder() / kListed;
        for (int i = 0; i < 200; ++i) {
            std::ofstream(guarded.systemFolder() / "part") << "dropped " << i;
            const auto start = Clock::now();
            fs::rename(guarded.systemFolder() / "part", dropped);
            while (fs::exists(dropped) && Clock::now() - start < std::chrono::seconds(2))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            drops.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        }
        pestrel::bench::ReportDirectFigure("guard_dropped_file_gone_p99_vs_100ms", P99(drops) / 0.1,
                                           1.0);
    }

    // A user's guard: listed programs of the user, each from its start until it has ended.
    const GuardedMachine user(kNobody);
    std::vector<double> ends;
    for (int i = 0; i < 100; ++i) {
        const fs::path folder = user.root() / "runs" / std::to_string(i);
        fs::create_directories(folder);
        fs::copy_file(PESTREL_TEST_HELPER, folder / kListed);
        ::chown(folder.c_str(), kNobody, kNobody);
        ::chown((folder / kListed).c_str(), kNobody, kNobody);
        const auto start = Clock::now();
        const pid_t pid = Spawn({"/usr/bin/setpriv", "--reuid", "65534", "--regid", "65534",
                                 "--clear-groups", "--", (folder / kListed).string()});
        while (pid > 0 && !Reaped(pid) && Clock::now() - start < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ends.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
    }
    pestrel::bench::ReportDirectFigure("guard_poll_end_p99_vs_100ms", P99(ends) / 0.1, 1.0);
}
BENCHMARK(BM_GuardFigures)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
