// A kill pass over 100,000 names that match nothing: against its floor (one walk of /proc and a
// stat of each name in the Windows and the System folder, in plain C calls) with 500 extra
// processes running, and against the same pass with no extra processes, so that its cost per
// name is seen not to grow with the process table.
#include "bench/Figures.h"
#include "bench/PassScene.h"
#include "bench/ProcessTableWalk.h"
#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "platform/posix/PosixPlatform.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using pestrel::bench::Median;
using pestrel::bench::SecondsOf;

constexpr int kNames = 100000;
constexpr int kExtraProcesses = 500;
constexpr int kRounds = 3;

void BM_KillPassScaleFigures(benchmark::State& state) {
    QTemporaryDir root;
    pestrel::PosixPlatform platform(root.filePath("data").toStdString(),
                                    root.filePath("app/pestrel").toStdString());
    pestrel::Context context(platform);
    pestrel::InitialiseContext(context);
    std::filesystem::create_directories(context.AppPath);
    for (pestrel::RegRoot place : {pestrel::RegRoot::LocalMachine, pestrel::RegRoot::CurrentUser})
        platform.createKey(place, pestrel::kRunKey);
    pestrel::bench::MissingEntries view(kNames);
    const std::vector<std::string> folders = {context.WinDir, context.SysDir};

    std::vector<double> busy, quiet, floor;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            quiet.push_back(SecondsOf([&] { pestrel::RunKillPass(context, view, view.reports); }));
            const pestrel::bench::ExtraProcesses extra(kExtraProcesses);
            busy.push_back(SecondsOf([&] { pestrel::RunKillPass(context, view, view.reports); }));
            floor.push_back(
                SecondsOf([&] { pestrel::bench::WalkAndStatNames(folders, view.entries); }));
        }
    }
    pestrel::bench::ReportDirectFigure("kill_pass_100k_misses_500_extra_processes_vs_floor",
                                       Median(busy) / Median(floor), 2.0);
    pestrel::bench::ReportDirectFigure("kill_pass_100k_misses_500_extra_vs_no_extra_processes",
                                       Median(busy) / Median(quiet), 1.2);
}
BENCHMARK(BM_KillPassScaleFigures)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
