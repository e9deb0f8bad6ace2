// The Windows program under Wine (the cross build of `make windows` and tools/wine-tests.sh, in
// the build folder's windows/): its window's start-up to the first paint against a bare Qt window
// of the same build, the kill button's pass over 1000 names that match nothing against the same
// pass in the Linux window on its stand-in, and the size of the setup. Skipped without that
// build or without Wine.
#include "bench/Figures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

const QString kWindowsBuild = QStringLiteral(PESTREL_WINDOWS_BUILD);
const QString kWine = QStringLiteral("/usr/lib/wine/wine64");

// A prefix made for these figures in `root`, with the probe and the stand-in face beside it.
struct WindowsMachine {
    QTemporaryDir root;
    QString prefix = root.filePath("prefix"), folder = prefix + "/drive_c/probe";
    bool made = false;

    WindowsMachine() {
        made = QProcess::execute(QStringLiteral(PESTREL_SOURCE_DIR "/tools/wine-prefix.sh"),
                                 {prefix}) == 0 &&
               QDir().mkpath(folder + "/fonts") &&
               QFile::copy(kWindowsBuild + "/tests/bin/pestrel_window_probe.exe",
                           folder + "/pestrel_window_probe.exe") &&
               QFile::copy(kWindowsBuild + "/fonts/wqy-microhei.ttc",
                           folder + "/fonts/wqy-microhei.ttc");
    }
    ~WindowsMachine() { QProcess::execute("/usr/lib/wine/wineserver", {"-k"}); }
    // Runs the probe under Wine; its output, or empty when it failed.
    QByteArray probe(const QString& mode) const {
        QProcess wine;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("WINEPREFIX", prefix);
        environment.insert("WINEDEBUG", "-all");
        environment.remove("DISPLAY");
        wine.setProcessEnvironment(environment);
        wine.setWorkingDirectory(folder);
        wine.start(kWine, {"C:\\probe\\pestrel_window_probe.exe", mode});
        if (!wine.waitForFinished(120000) || wine.exitCode() != 0)
            return {};
        return wine.readAllStandardOutput();
    }
};

// The seconds of the pass that the probe's --kill prints as "seconds S".
double PassSeconds(const QByteArray& output) {
    const int at = output.lastIndexOf("seconds ");
    return at < 0 ? -1 : output.mid(at + 8).trimmed().toDouble();
}

QByteArray AbsentNames() {
    QByteArray list;
    for (int i = 0; i < 1000; ++i)
        list += "pestrel-bench-nothing-" + QByteArray::number(i) + ".exe\r\n";
    return list;
}

void WriteList(const QString& folder) {
    QFile file(folder + "/VirusList.txt");
    if (file.open(QIODevice::WriteOnly))
        file.write(AbsentNames());
}

void BM_WindowsFigures(benchmark::State& state) {
    const fs::path setup = (kWindowsBuild + "/pestrel-setup.exe").toStdString();
    if (!fs::exists(setup) || !QFile::exists(kWine)) {
        state.SkipWithError("no Windows build (make windows) or no Wine");
        return;
    }
    WindowsMachine machine;
    if (!machine.made) {
        state.SkipWithError("no Wine prefix could be made");
        return;
    }
    WriteList(machine.folder);
    QTemporaryDir linuxFolder;
    WriteList(linuxFolder.path());
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "windows_startup_to_first_paint_vs_bare_qt_window_under_wine", 2.0, 7,
            [&] { return pestrel::bench::SecondsOf([&] { machine.probe("--first-paint"); }); },
            [&] {
                return pestrel::bench::SecondsOf([&] { machine.probe("--bare-first-paint"); });
            });
        pestrel::bench::ReportInterleavedFigure(
            "windows_kill_pass_1000_misses_vs_stand_in", 1.5, 3,
            [&] { return PassSeconds(machine.probe("--kill")); },
            [&] {
                QProcess linux;
                linux.setWorkingDirectory(linuxFolder.path());
                linux.start(PESTREL_WINDOW_PROBE, {"--kill", "-platform", "offscreen"});
                linux.waitForFinished(120000);
                return PassSeconds(linux.readAllStandardOutput());
            });
    }
    pestrel::bench::ReportDirectFigure("windows_setup_size_mib", fs::file_size(setup) / 1048576.0,
                                       25.0);
}
BENCHMARK(BM_WindowsFigures)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
