// Process lookups against the plain cost of reading every program path from /proc once.
#include "bench/Figures.h"
#include "bench/ProcessTableWalk.h"
#include "engine/Public.h"
#include "platform/posix/PosixPlatform.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

pestrel::PosixPlatform& Machine() {
    static pestrel::PosixPlatform platform(std::filesystem::temp_directory_path() /
                                           "pestrel-bench");
    return platform;
}

void FindMissingProgram() {
    benchmark::DoNotOptimize(pestrel::FindProcessFolder(Machine(), "no-such-program.exe"));
}

// The process path page: list the processes, then the folder of each listed one.
void FolderOfEveryProcess() {
    const std::vector<std::string> names = pestrel::ListProcesses(Machine());
    const pestrel::ProcessFolderIndex index(Machine());
    for (const std::string& name : names)
        benchmark::DoNotOptimize(index.find(name));
}

template <void (*Work)()> void BM_Run(benchmark::State& state) {
    for (auto _ : state)
        Work();
}
BENCHMARK(BM_Run<pestrel::bench::WalkReadingPaths>)
    ->Name("BM_ProcWalkReadingPaths")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Run<FindMissingProgram>)
    ->Name("BM_FindProcessFolderMiss")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Run<FolderOfEveryProcess>)
    ->Name("BM_FolderOfEveryProcess")
    ->Unit(benchmark::kMicrosecond);

// The figures time the three in turn, round after round, and compare medians, so that other
// work on the machine weighs on all three alike.
void BM_ProcessLookupFigures(benchmark::State& state) {
    constexpr int kRounds = 301;
    std::vector<double> walk, miss, listing;
    for (auto _ : state) {
        walk.clear(), miss.clear(), listing.clear();
        for (int round = 0; round < kRounds; ++round) {
            using Clock = std::chrono::steady_clock;
            const auto t0 = Clock::now();
            pestrel::bench::WalkReadingPaths();
            const auto t1 = Clock::now();
            FindMissingProgram();
            const auto t2 = Clock::now();
            FolderOfEveryProcess();
            const auto t3 = Clock::now();
            walk.push_back(std::chrono::duration<double>(t1 - t0).count());
            miss.push_back(std::chrono::duration<double>(t2 - t1).count());
            listing.push_back(std::chrono::duration<double>(t3 - t2).count());
        }
    }
    const auto median = [](std::vector<double>& times) {
        std::nth_element(times.begin(), times.begin() + kRounds / 2, times.end());
        return times[kRounds / 2];
    };
    const double reference = median(walk);
    pestrel::bench::ReportDirectFigure("find_process_folder_miss_vs_proc_walk",
                                       median(miss) / reference, 1.3);
    pestrel::bench::ReportDirectFigure("folder_of_every_process_vs_proc_walk",
                                       median(listing) / reference, 3.0);
}
BENCHMARK(BM_ProcessLookupFigures)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
