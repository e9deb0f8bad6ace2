// Closing the main window while workers run ends the program at once, without a crash, a hang or
// a warning.

#include "tests/ui/ShutdownChild.h"
#include "tests/ui/UiTest.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace pestrel::test {

int RunShutdownChild() {
    TestMachine machine;
    std::string list;
    for (int i = 0; i < 20000; ++i)
        list += "ui-shutdown-" + std::to_string(i) + ".exe\r\n";
    WriteFile(machine.context().AppPath + "VirusList.txt", list);

    AnsweringBoxes boxes;
    ScriptedOpenDialog openDialog;
    RecordingDesktop desktop;
    TMainForm form(machine.platform(), Seams{&boxes, &openDialog, &desktop}); // the real waits
    form.show(); // starts the 30-second clearing worker
    QMetaObject::invokeMethod(form.findChild<QWidget*>("SBPestrel"), "clicked");
    form.findChild<QAction*>("NSave")->trigger();
    QMetaObject::invokeMethod(form.findChild<QWidget*>("BAllVirusPath"), "clicked");
    std::printf("workers started\n");
    std::fflush(stdout);
    QTimer::singleShot(0, &form, &QWidget::close);
    return QApplication::exec();
}

namespace {

TEST(ShutdownTest, ClosingTheWindowWithRunningWorkersEndsTheProgramCleanly) {
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {kShutdownChildOption});

    // Well below the 30 seconds of the clearing worker and the length of the kill pass.
    ASSERT_TRUE(child.waitForFinished(20000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_TRUE(child.readAllStandardOutput().contains("workers started"));
    QStringList warnings;
    for (const QString& line : QString::fromLocal8Bit(child.readAllStandardError()).split('\n')) {
        // The offscreen platform's own notices: for every window shown, and for the outline of
        // the skinned frame, which it cannot apply.
        if (!line.isEmpty() && line != "This plugin does not support propagateSizeHints()" &&
            line != "This plugin does not support setting window masks")
            warnings << line;
    }
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

} // namespace
} // namespace pestrel::test
