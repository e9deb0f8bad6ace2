// A Wine prefix's registry file read and written back against reading its bytes, a kill pass
// in a Wine prefix against the same pass on the Linux stand-in, and the prefix's autostart
// places listed against reading its registry. The prefix is made once by
// tools/wine-prefix.sh and kept in the temporary folder; without Wine both are skipped.
#include "base/FileBytes.h"
#include "bench/Figures.h"
#include "engine/AutostartPlaces.h"
#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/wine/WineHive.h"
#include "platform/wine/WinePlatform.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A fresh prefix, made on first use; nothing when Wine cannot make one.
const std::optional<fs::path>& FreshPrefix() {
    static const std::optional<fs::path> prefix = []() -> std::optional<fs::path> {
        const fs::path folder =
            fs::temp_directory_path() / ("pestrel-bench-wine-prefix-" + std::to_string(::getuid()));
        if (fs::exists(folder / "system.reg"))
            return folder;
        const std::string command = std::string(PESTREL_SOURCE_DIR) + "/tools/wine-prefix.sh '" +
                                    folder.string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return std::nullopt;
        return folder;
    }();
    return prefix;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void BM_WineRegistryFigure(benchmark::State& state) {
    if (!FreshPrefix()) {
        state.SkipWithError("no Wine prefix could be made (is the Debian package wine64 there?)");
        return;
    }
    const std::string hive = (*FreshPrefix() / "system.reg").string();
    const std::string copy = (fs::temp_directory_path() /
                              ("pestrel-bench-system-" + std::to_string(::getpid()) + ".reg"))
                                 .string();
    constexpr int kRounds = 21;
    std::vector<double> reading, roundTrip;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            const auto t0 = Clock::now();
            benchmark::DoNotOptimize(pestrel::ReadFileBytes(hive));
            const auto t1 = Clock::now();
            auto parsed = pestrel::wine::WineHive::Parse(*pestrel::ReadFileBytes(hive));
            pestrel::ReplaceFileAtomically(copy,
                                           std::get<pestrel::wine::WineHive>(parsed).serialize());
            const auto t2 = Clock::now();
            reading.push_back(Seconds(t0, t1));
            roundTrip.push_back(Seconds(t1, t2));
        }
    }
    fs::remove(copy);
    pestrel::bench::ReportDirectFigure(
        "wine_system_reg_round_trip_vs_reading_bytes",
        pestrel::bench::Median(roundTrip) / pestrel::bench::Median(reading), 30.0);
}
BENCHMARK(BM_WineRegistryFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

void KillPass(pestrel::Platform& platform, const fs::path& appFolder) {
    pestrel::Context context(platform);
    pestrel::InitialiseContext(context);
    context.AppPath = appFolder.string() + "/";
    // A virus list of names that match nothing.
    std::vector<std::string> names;
    for (int i = 0; i < 1000; ++i)
        names.push_back("pestrel-bench-nothing-" + std::to_string(i) + ".exe");
    pestrel::FixedList list(std::move(names));
    pestrel::PassLog reports;
    pestrel::RunKillPass(context, list, reports);
}

void BM_WineKillPassFigure(benchmark::State& state) {
    if (!FreshPrefix()) {
        state.SkipWithError("no Wine prefix could be made (is the Debian package wine64 there?)");
        return;
    }
    const fs::path work =
        fs::temp_directory_path() / ("pestrel-bench-killpass-" + std::to_string(::getpid()));
    fs::create_directories(work / "app");
    pestrel::PosixPlatform standIn(work / "stand-in");
    constexpr int kRounds = 3;
    std::vector<double> wine, standInTimes;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            const auto t0 = Clock::now();
            {
                auto prefix = pestrel::wine::WinePrefix::Open(*FreshPrefix());
                pestrel::wine::WinePlatform platform(
                    std::move(std::get<pestrel::wine::WinePrefix>(prefix)), standIn);
                KillPass(platform, work / "app");
            }
            const auto t1 = Clock::now();
            KillPass(standIn, work / "app");
            const auto t2 = Clock::now();
            wine.push_back(Seconds(t0, t1));
            standInTimes.push_back(Seconds(t1, t2));
        }
    }
    fs::remove_all(work);
    pestrel::bench::ReportDirectFigure(
        "wine_kill_pass_1000_misses_vs_stand_in",
        pestrel::bench::Median(wine) / pestrel::bench::Median(standInTimes), 1.5);
}
BENCHMARK(BM_WineKillPassFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

// A platform of the fresh prefix, whose registry is read afresh on first use.
std::unique_ptr<pestrel::wine::WinePlatform> PrefixPlatform(pestrel::Platform& files) {
    auto prefix = pestrel::wine::WinePrefix::Open(*FreshPrefix());
    return std::make_unique<pestrel::wine::WinePlatform>(
        std::move(std::get<pestrel::wine::WinePrefix>(prefix)), files);
}

// Seconds to read the prefix's two registry files as the platform does: parsed, and one value
// asked of each.
double ReadingRegistry(pestrel::Platform& files) {
    const auto t0 = Clock::now();
    const auto platform = PrefixPlatform(files);
    for (pestrel::RegRoot root : {pestrel::RegRoot::LocalMachine, pestrel::RegRoot::CurrentUser})
        benchmark::DoNotOptimize(platform->queryValue(root, pestrel::kRunKey, "x"));
    return Seconds(t0, Clock::now());
}

// Seconds to read every autostart place of the prefix, as --autostart does.
double ListingAutostart(pestrel::Platform& files) {
    const auto t0 = Clock::now();
    const auto platform = PrefixPlatform(files);
    pestrel::Context context(*platform);
    pestrel::InitialiseContext(context);
    benchmark::DoNotOptimize(pestrel::ReadAutostartPlaces(context).entries().size());
    return Seconds(t0, Clock::now());
}

void BM_WineAutostartFigures(benchmark::State& state) {
    if (!FreshPrefix()) {
        state.SkipWithError("no Wine prefix could be made (is the Debian package wine64 there?)");
        return;
    }
    const fs::path work =
        fs::temp_directory_path() / ("pestrel-bench-autostart-" + std::to_string(::getpid()));
    fs::create_directories(work / "app");
    pestrel::PosixPlatform standIn(work / "stand-in");
    constexpr int kRounds = 11;
    std::vector<double> listing, reading, pass;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            listing.push_back(ListingAutostart(standIn));
            reading.push_back(ReadingRegistry(standIn));
        }
        for (int round = 0; round < 3; ++round) {
            const auto t0 = Clock::now();
            KillPass(*PrefixPlatform(standIn), work / "app");
            pass.push_back(Seconds(t0, Clock::now()));
        }
    }
    fs::remove_all(work);
    const double listed = pestrel::bench::Median(listing), read = pestrel::bench::Median(reading);
    pestrel::bench::ReportDirectFigure("wine_autostart_listing_vs_reading_registry", listed / read,
                                       3.0);
    // The pass reads the registry anyway; the autostart places add their listing beyond that
    // reading once, and one lookup per entry, which the pass's own time holds.
    const double withPlaces = pestrel::bench::Median(pass);
    pestrel::bench::ReportDirectFigure("kill_pass_1000_misses_with_autostart_vs_without",
                                       withPlaces / (withPlaces - (listed - read)), 1.5);
}
BENCHMARK(BM_WineAutostartFigures)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
