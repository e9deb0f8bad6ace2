// Process lookups against the plain cost of reading every program path from /proc once, and
// the kill pass and the registry stand-in with a busy process table and a large hive.
#include "base/FileBytes.h"
#include "bench/Figures.h"
#include "bench/PassScene.h"
#include "bench/ProcessTableWalk.h"
#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/RegistryHive.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
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
    using pestrel::bench::Median;
    const double reference = Median(walk);
    pestrel::bench::ReportDirectFigure("find_process_folder_miss_vs_proc_walk",
                                       Median(miss) / reference, 1.3);
    pestrel::bench::ReportDirectFigure("folder_of_every_process_vs_proc_walk",
                                       Median(listing) / reference, 3.0);
}
BENCHMARK(BM_ProcessLookupFigures)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

// --- the kill pass and the registry stand-in at a real user's size ---------------------------

namespace {

// A HKEY_CURRENT_USER hive of `keys` program keys with two values each, and the start-up key.
std::string UserHive(int keys) {
    pestrel::RegistryHive hive("HKEY_CURRENT_USER");
    pestrel::RegValue path, version;
    version.kind = pestrel::RegInteger;
    for (int i = 0; i < keys; ++i) {
        const std::string key =
            "Software\\Vendor" + std::to_string(i / 100) + "\\Product" + std::to_string(i % 100);
        path.text = "C:\\Program Files\\Vendor\\Product " + std::to_string(i) + "\\";
        version.number = static_cast<std::uint32_t>(i);
        hive.setValue(key, "InstallPath", path);
        hive.setValue(key, "Version", version);
    }
    hive.createKey(pestrel::kRunKey);
    return hive.serialize();
}

// Times `measured` and `reference` in turn, `rounds` times, and answers the ratio of the medians.
double MedianRatio(int rounds, const std::function<void()>& measured,
                   const std::function<void()>& reference) {
    using pestrel::bench::SecondsOf;
    return pestrel::bench::InterleavedRatio(
        rounds, [&] { return SecondsOf(measured); }, [&] { return SecondsOf(reference); });
}

void BM_RegistryAtSizeFigures(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    const std::string size = std::to_string(keys / 1000) + "k_keys";
    double killPass = 0, parse = 0;
    for (auto _ : state) {
        const pestrel::bench::ExtraProcesses extra(300);
        std::string root = (std::filesystem::temp_directory_path() / "pestrel-bench-XXXXXX");
        if (!::mkdtemp(root.data()))
            return state.SkipWithError("no temporary folder");
        root += '/';
        {
            pestrel::PosixPlatform platform(root + "data", root + "app/pestrel");
            pestrel::Context context(platform);
            pestrel::InitialiseContext(context);
            std::filesystem::create_directories(context.AppPath);
            const std::string userHive = platform.hiveFile(pestrel::RegRoot::CurrentUser);
            pestrel::ReplaceFileAtomically(userHive, UserHive(keys));
            platform.createKey(pestrel::RegRoot::LocalMachine, pestrel::kRunKey);
            // The kept hives are trusted once their files have settled.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));

            pestrel::bench::MissingEntries view(1000);
            killPass = MedianRatio(
                3, [&] { pestrel::RunKillPass(context, view, view.reports); },
                [] {
                    for (int walk = 0; walk < 1000; ++walk)
                        pestrel::bench::WalkReadingPaths();
                });
            parse = MedianRatio(
                21,
                [&] {
                    const std::string text = pestrel::ReadFileBytes(userHive).value();
                    benchmark::DoNotOptimize(
                        pestrel::RegistryHive::Parse("HKEY_CURRENT_USER", text).serialize());
                },
                [&] { benchmark::DoNotOptimize(pestrel::ReadFileBytes(userHive)); });
        }
        std::filesystem::remove_all(root);
    }
    pestrel::bench::ReportDirectFigure("kill_pass_1000_misses_" + size + "_vs_1000_proc_walks",
                                       killPass, 1.5);
    pestrel::bench::ReportDirectFigure("hive_parse_and_write_" + size + "_vs_read", parse, 30.0);
}
BENCHMARK(BM_RegistryAtSizeFigures)
    ->Arg(10000)
    ->Arg(50000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
