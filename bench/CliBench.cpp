// The command line against the plain tools: a kill pass over 200 running programs against a
// shell loop of pkill over the same names, a dry run against the real run it shows, and JSON Lines
// against TAB lines.
#include "bench/Figures.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A private program folder with a copy of the program, a private data home, and programs
// started under the names of the list.
class Bench {
public:
    Bench() : root_(fs::temp_directory_path() / ("pestrel-cli-bench-" + std::to_string(getpid()))) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "app");
        fs::copy_file(PESTREL_PROGRAM, root_ / "app" / "pestrel");
    }
    ~Bench() {
        endPrograms();
        fs::remove_all(root_);
    }

    // Names pbNNN.exe: short enough for pkill's 15-character process names.
    void writeList(int count, const char* stem) {
        names_.clear();
        std::ofstream list(root_ / "app" / "VirusList.txt", std::ios::binary);
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%s%03d.exe", stem, i);
            names_.push_back(name);
            list << name << "\r\n";
        }
        std::ofstream(root_ / "names.txt") << [&] {
            std::string text;
            for (const std::string& name : names_)
                text += name + "\n";
            return text;
        }();
    }

    // A fresh machine: the data home and the program's work files go.
    void reset() {
        fs::remove_all(root_ / "data");
        fs::remove_all(root_ / "app" / "Temp");
    }
    // A file of each listed name in the Windows stand-in of the data home.
    void placeFiles() {
        const fs::path windows = root_ / "data" / "pestrel" / "Windows";
        fs::create_directories(windows);
        for (const std::string& name : names_)
            std::ofstream(windows / name) << name;
    }
    // The listed programs run.
    void startPrograms() {
        fs::create_directories(root_ / "bin");
        for (const std::string& name : names_) {
            const fs::path path = root_ / "bin" / name;
            if (!fs::exists(path))
                fs::copy_file(PESTREL_TEST_HELPER, path);
            pid_t pid = 0;
            char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
            if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) == 0)
                programs_.push_back(pid);
        }
    }
    void endPrograms() {
        for (pid_t pid : programs_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        programs_.clear();
    }

    // Seconds the command took, from its start to its end.
    double run(std::vector<std::string> arguments) {
        std::vector<std::string> variables = {"XDG_DATA_HOME=" + (root_ / "data").string(),
                                              "HOME=" + root_.string(), "PATH=/usr/bin:/bin"};
        std::vector<char*> argv, envp;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
        const auto start = Clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data()) == 0)
            waitpid(pid, nullptr, 0);
        const auto end = Clock::now();
        posix_spawn_file_actions_destroy(&files);
        return std::chrono::duration<double>(end - start).count();
    }
    std::string program() const { return (root_ / "app" / "pestrel").string(); }
    std::string nameFile() const { return (root_ / "names.txt").string(); }

private:
    fs::path root_;
    std::vector<std::string> names_;
    std::vector<pid_t> programs_;
};

// Both commands of a figure run in turn, this many rounds, and the medians are compared.
constexpr int kRounds = 3;
// 200 programs running under the 200 names of the list: the kill pass (which ends each one and
// waits for it, backs up, journals and deletes its file, and removes its start-up values)
// against a shell loop of pkill -x (which only signals).
void BM_KillPassVsPkillLoop(benchmark::State& state) {
    Bench bench;
    bench.writeList(200, "pb");
    const auto timed = [&bench](std::vector<std::string> command) {
        bench.reset();
        bench.startPrograms();
        const double seconds = bench.run(std::move(command));
        bench.endPrograms();
        return seconds;
    };
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "kill_200_running_vs_pkill_loop", 2.0, kRounds,
            [&] {
                return timed({bench.program(), "--kill", "--no-repair"});
            },
            [&] {
                return timed({"/bin/sh", "-c",
                              "while read n; do pkill -x \"$n\"; done < " + bench.nameFile()});
            });
    }
}
BENCHMARK(BM_KillPassVsPkillLoop)->Iterations(1)->Unit(benchmark::kSecond);

// A list of 1,000 names that match nothing: the dry run against the real run.
void BM_DryRunVsRealRun(benchmark::State& state) {
    Bench bench;
    bench.writeList(1000, "absent");
    const auto timed = [&bench](std::vector<std::string> command) {
        bench.reset();
        return bench.run(std::move(command));
    };
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "dry_run_1000_absent_vs_real_run", 1.2, kRounds,
            [&] {
                return timed({bench.program(), "--kill", "--dry-run"});
            },
            [&] {
                return timed({bench.program(), "--kill"});
            });
    }
}
BENCHMARK(BM_DryRunVsRealRun)->Iterations(1)->Unit(benchmark::kSecond);

// 500 listed files in the Windows folder, each backed up and deleted: 1,000 actions written as
// JSON Lines against the same pass writing TAB lines.
void BM_JsonLinesVsTabLines(benchmark::State& state) {
    Bench bench;
    bench.writeList(500, "jl");
    const auto timed = [&bench](std::vector<std::string> command) {
        bench.reset();
        bench.placeFiles();
        return bench.run(std::move(command));
    };
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "json_lines_1000_actions_vs_tab_lines", 1.2, kRounds,
            [&] {
                return timed({bench.program(), "--kill", "--no-repair", "--json"});
            },
            [&] {
                return timed({bench.program(), "--kill", "--no-repair"});
            });
    }
}
BENCHMARK(BM_JsonLinesVsTabLines)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
