// The Debian package: its size, and the resident memory of the program unpacked from it after
// start-up against a bare Qt window of the same size, empty, showing one line of Chinese text in
// the program's interface face, and holding the same standard Qt controls besides, all started
// offscreen the same way.

#include "bench/Figures.h"
#include "skin/InterfaceFont.h"

#include <QFontDatabase>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Kibibytes of VmRSS in /proc/<id>/status, or 0.
double ResidentKiB(qint64 id) {
    std::ifstream status("/proc/" + std::to_string(id) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6));
    }
    return 0;
}

// Median resident memory of `program` two seconds after its start, over three starts.
double StartedResidentKiB(const QString& program, const QString& dataHome,
                          const QStringList& arguments = {}) {
    std::vector<double> sizes;
    for (int round = 0; round < 3; ++round) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_DATA_HOME", dataHome);
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        if (!process.waitForStarted())
            return 0;
        QThread::msleep(2000);
        sizes.push_back(ResidentKiB(process.processId()));
        process.kill();
        process.waitForFinished();
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes[1];
}

void BM_InstalledPackageFigures(benchmark::State& state) {
    const std::filesystem::path package = PESTREL_PACKAGE_FILE;
    QTemporaryDir root;
    for (auto _ : state) {
        if (!std::filesystem::exists(package) ||
            QProcess::execute("dpkg-deb", {"-x", QString::fromStdString(package.string()),
                                           root.filePath("root")}) != 0) {
            state.SkipWithError("no package: make package");
            return;
        }
    }
    const double installed =
        StartedResidentKiB(root.filePath("root/usr/bin/pestrel"), root.filePath("data"));
    const double bare = StartedResidentKiB(PESTREL_BARE_WINDOW, root.filePath("data"));
    // What any window pays that shows the program's text in the face the program draws it in.
    const QString face =
        pestrel::ChooseInterfaceFamily(QFontDatabase::families(QFontDatabase::SimplifiedChinese));
    const double bareText = StartedResidentKiB(PESTREL_BARE_WINDOW, root.filePath("data"),
                                               {"--text", "--family", face});
    const double bareControls = StartedResidentKiB(PESTREL_BARE_WINDOW, root.filePath("data"),
                                                   {"--text", "--controls", "--family", face});
    if (installed <= 0 || bare <= 0 || bareText <= 0 || bareControls <= 0) {
        state.SkipWithError("a program did not start");
        return;
    }
    pestrel::bench::ReportDirectFigure("package_size_mib",
                                       std::filesystem::file_size(package) / 1048576.0, 1.0);
    // What the program pays beyond the standard controls it shows: its own code, the skin.
    pestrel::bench::ReportDirectFigure(
        "installed_program_memory_vs_bare_window_with_the_same_qt_controls",
        installed / bareControls, 1.05);
    pestrel::bench::ReportRecordedRatio("installed_program_memory_vs_bare_qt_window",
                                        installed / bare);
    pestrel::bench::ReportRecordedRatio(
        "installed_program_memory_vs_bare_window_with_chinese_text_in_interface_face",
        installed / bareText);
    pestrel::bench::ReportRecordedRatio("bare_window_with_the_same_qt_controls_vs_with_text_only",
                                        bareControls / bareText);
}
BENCHMARK(BM_InstalledPackageFigures)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
