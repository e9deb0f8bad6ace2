// The main window's figures: the all-process-paths listing against one plain walk of /proc with
// 200 extra processes running, start-up to the first painted main window against a bare Qt
// window of the same size that shows the same standard Qt controls and the program's text in
// its face (and, for the record, against an empty one), that start-up with a virus list of
// 100,000 names against one of 3, and the window's longest pause during a kill pass over those
// 100,000 names.
#include "bench/Figures.h"
#include "bench/ProcessTableWalk.h"
#include "bench/barewindow/BareControls.h"
#include "platform/posix/PosixPlatform.h"
#include "skin/InterfaceFont.h"
#include "ui/MainUnit.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Extra processes that live as long as the object.
class ExtraProcesses {
public:
    explicit ExtraProcesses(int count) {
        char program[] = "sleep", seconds[] = "600";
        char* argv[] = {program, seconds, nullptr};
        for (int i = 0; i < count; ++i) {
            pid_t pid = 0;
            if (::posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0)
                pids_.push_back(pid);
        }
    }
    ~ExtraProcesses() {
        for (pid_t pid : pids_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

private:
    std::vector<pid_t> pids_;
};

// A program folder and data root of their own, in `root`.
struct Machine {
    explicit Machine(const QString& root)
        : platform(root.toStdString() + "/data", root.toStdString() + "/app/pestrel") {
        QDir().mkpath(root + "/app");
    }
    pestrel::PosixPlatform platform;
};

// The same in a temporary folder, removed afterwards.
struct TemporaryMachine {
    QTemporaryDir root;
    Machine machine{root.path()};
};

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

void BM_AllProcessPathsFigure(benchmark::State& state) {
    ExtraProcesses extra(200);
    TemporaryMachine scene;
    pestrel::TMainForm form(scene.machine.platform, pestrel::Seams::Standard(), {0, 0, 0, 0});
    QWidget* button = form.findChild<QWidget*>("BAllVirusPath");
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "all_process_paths_listing_vs_proc_walk", 3.0, 101,
            [&] {
                const auto start = Clock::now();
                QMetaObject::invokeMethod(button, "clicked");
                const double seconds = Seconds(Clock::now() - start);
                form.workers().waitUntilIdle(); // the button's lock ends before the next round
                return seconds;
            },
            [] {
                const auto start = Clock::now();
                pestrel::bench::WalkReadingPaths();
                return Seconds(Clock::now() - start);
            });
    }
}
BENCHMARK(BM_AllProcessPathsFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

// Shows the window and runs events until its first paint has been done.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& window) : window_(window) {
        qApp->installEventFilter(this);
        window.show();
        loop_.exec();
        qApp->removeEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_)
            loop_.quit(); // the loop ends once this whole paint pass is done
        return false;
    }

private:
    QWidget& window_;
    QEventLoop loop_;
};

// Start-up is timed from the start of a process to its first painted window: this program runs
// itself with kProbeVariable naming the window, and the copy ends as soon as it has painted. The
// main window works in the folder kFolderVariable names.
constexpr const char* kProbeVariable = "PESTREL_STARTUP_PROBE";
constexpr const char* kFolderVariable = "PESTREL_STARTUP_FOLDER";

// The windows are never taken down: the copy ends at their first paint. The main window and the
// bare one with controls draw their text in the program's interface face, as the program does.
void BM_StartupProbe(benchmark::State& state) {
    const QByteArray window = qgetenv(kProbeVariable);
    for (auto _ : state) {
        if (window != "bare")
            pestrel::UseInterfaceFont();
        if (window == "main") {
            auto* machine = new Machine(QString::fromLocal8Bit(qgetenv(kFolderVariable)));
            FirstPaint painted(*new pestrel::TMainForm(machine->platform));
        } else {
            auto* bare = new QWidget;
            const bool controls = window == "controls";
            pestrel::bench::MakeBareWindow(*bare, controls, controls);
            FirstPaint painted(*bare);
        }
        std::fflush(stdout);
        std::_Exit(0);
    }
}
const bool kProbeRegistered =
    std::getenv(kProbeVariable) &&
    benchmark::RegisterBenchmark("BM_StartupProbe", BM_StartupProbe)->Iterations(1);

double StartToFirstPaint(const char* window, const QString& folder) {
    const std::string variable = std::string(kProbeVariable) + "=" + window;
    const std::string folderVariable = std::string(kFolderVariable) + "=" + folder.toStdString();
    std::vector<char*> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.push_back(*entry);
    environment.push_back(const_cast<char*>(variable.c_str()));
    environment.push_back(const_cast<char*>(folderVariable.c_str()));
    environment.push_back(nullptr);
    std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::string filter = "--benchmark_filter=^BM_StartupProbe/";
    char* argv[] = {self.data(), filter.data(), nullptr};
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);

    const auto start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, self.c_str(), &quiet, nullptr, argv, environment.data()) == 0)
        ::waitpid(pid, nullptr, 0);
    const double seconds = Seconds(Clock::now() - start);
    ::posix_spawn_file_actions_destroy(&quiet);
    return seconds;
}

void BM_StartupFigure(benchmark::State& state) {
    QTemporaryDir root;
    for (auto _ : state) {
        // Round after round in turn, so that other work on the machine weighs on all alike.
        std::vector<double> main, controls, bare;
        for (int round = 0; round < 15; ++round) {
            main.push_back(StartToFirstPaint("main", root.path()));
            controls.push_back(StartToFirstPaint("controls", root.path()));
            bare.push_back(StartToFirstPaint("bare", root.path()));
        }
        using pestrel::bench::Median;
        pestrel::bench::ReportDirectFigure(
            "startup_to_first_painted_main_window_vs_bare_window_with_the_same_qt_controls",
            Median(main) / Median(controls), 1.3);
        pestrel::bench::ReportRecordedRatio("startup_to_first_painted_main_window_vs_bare_window",
                                            Median(main) / Median(bare));
    }
}
BENCHMARK(BM_StartupFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

// A work folder whose virus list holds `names` names that match nothing.
QString FolderWithList(const QTemporaryDir& root, int names) {
    const QString folder = root.filePath(QString::number(names));
    QDir().mkpath(folder + "/app");
    QFile list(folder + "/app/VirusList.txt");
    if (list.open(QIODevice::WriteOnly)) {
        QByteArray text;
        for (int i = 0; i < names; ++i)
            text += "absent-" + QByteArray::number(i) + ".exe\r\n";
        list.write(text);
    }
    return folder;
}

void BM_LongListStartupFigure(benchmark::State& state) {
    QTemporaryDir root;
    const QString longList = FolderWithList(root, 100000), shortList = FolderWithList(root, 3);
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "startup_to_first_paint_100k_names_vs_3_names", 1.5, 15,
            [&] { return StartToFirstPaint("main", longList); },
            [&] { return StartToFirstPaint("main", shortList); });
    }
}
BENCHMARK(BM_LongListStartupFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

// The longest the window's event loop waits between two turns while a kill pass walks 100,000
// names that match nothing, against one frame (16 ms): the window repaints and answers within a
// frame when the figure is at most 1.
void BM_LongPassResponsivenessFigure(benchmark::State& state) {
    QTemporaryDir root;
    const QString folder = FolderWithList(root, 100000);
    Machine machine(folder);
    pestrel::TMainForm form(machine.platform, pestrel::Seams::Standard(), {0, 0, 0, 0});
    form.show();
    QWidget* button = form.findChild<QWidget*>("SBPestrel");
    for (auto _ : state) {
        Clock::duration longest{};
        std::optional<Clock::time_point> last;
        QTimer turns;
        turns.callOnTimeout([&] {
            const auto now = Clock::now();
            if (last)
                longest = std::max(longest, now - *last);
            last = now;
        });
        turns.start(1);
        // The click's own repairs, and the repaint of the pressed button, come before the pass:
        // it is timed from the loop's first turn after them.
        QMetaObject::invokeMethod(button, "clicked");
        form.workers().waitUntilIdle();
        pestrel::bench::ReportDirectFigure(
            "longest_event_loop_stall_during_100k_name_pass_vs_frame", Seconds(longest) / 0.016,
            1.0);
    }
}
BENCHMARK(BM_LongPassResponsivenessFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
