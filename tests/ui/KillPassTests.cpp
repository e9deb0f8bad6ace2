// The kill button's pass on its worker, against a real running program, and the worker's
// answers to a list that changes under it.

#include "engine/Public.h"
#include "tests/ui/UiTest.h"
#include "ui/RunExecute.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <utility>

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

class KillPassTest : public UiTest {
protected:
    std::vector<int> markersDuring(const std::function<void()>& action) {
        std::vector<int> markers;
        const auto connection = QObject::connect(
            control<QAbstractItemView>("ListBox")->selectionModel(),
            &QItemSelectionModel::currentChanged,
            [&markers](const QModelIndex& current) { markers.push_back(current.row()); });
        action();
        QObject::disconnect(connection);
        return markers;
    }
    // A list of `count` names that match nothing.
    void writeAbsentNames(int count) {
        std::string list;
        for (int i = 0; i < count; ++i)
            list += "ui-absent-" + std::to_string(i) + ".exe\r\n";
        WriteFile(appFile("VirusList.txt"), list);
    }
    QStringList messagesDuring(const std::function<void()>& action) {
        QSignalSpy spy(control<QStatusBar>("StatusBar"), &QStatusBar::messageChanged);
        action();
        QStringList messages;
        for (const QList<QVariant>& signal : spy)
            messages << signal.at(0).toString();
        return messages;
    }
};

TEST_F(KillPassTest, RemovesARunningProgramWalkingTheListFromTheEnd) {
    Platform& platform = machine.platform();
    const std::string folder = appFile("run/");
    auto program = machine.startProgram(folder, "ui-evil.exe");
    const std::string programFile = folder + "ui-evil.exe";
    const auto programSize = fs::file_size(programFile);
    platform.setValue(RegRoot::LocalMachine, kRunKey, "ui-evil.exe", {RegText, programFile});
    platform.setValue(RegRoot::CurrentUser, kRunKey, "UI-EVIL.EXE", {RegText, programFile});
    platform.setValue(RegRoot::CurrentUser, kRunKey, "Updater", {RegText, programFile});
    WriteFile(appFile("VirusList.txt"), "ui-evil.exe\r\nui-absent.exe\r\nui-Virus.DLL\r\n");
    showForm();
    finishWorkers();

    QStringList messages;
    const std::vector<int> markers = markersDuring([&] {
        messages = messagesDuring([&] {
            press("SBPestrel");
            EXPECT_TRUE(control("SBPestrel")->isEnabled());
            finishWorkers();
        });
    });

    EXPECT_TRUE(program->ended());
    EXPECT_FALSE(fs::exists(programFile));
    EXPECT_EQ(fs::file_size(appFile("Temp/ui-evil.exe")), programSize);
    EXPECT_EQ(platform.readProfileString(appFile("Temp/Log.ini"), "RunData", "ui-evil.exe", ""),
              programFile);
    EXPECT_FALSE(platform.queryValue(RegRoot::LocalMachine, kRunKey, "ui-evil.exe"));
    EXPECT_FALSE(platform.queryValue(RegRoot::CurrentUser, kRunKey, "ui-evil.exe"));
    EXPECT_TRUE(platform.queryValue(RegRoot::CurrentUser, kRunKey, "Updater"))
        << "a start-up value of another name stays, whatever it starts";
    const auto browser = platform.queryValue(
        RegRoot::LocalMachine, "Software\\Microsoft\\Internet Explorer\\Main", "Start Page");
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->text, "about:blank");

    // Moves are shown at most once a frame, the latest winning: down the list, to its top.
    EXPECT_TRUE(std::is_sorted(markers.rbegin(), markers.rend()));
    EXPECT_EQ(form->virusMarker(), 0);
    ASSERT_GE(messages.size(), 3);
    EXPECT_TRUE(messages.contains(QString::fromStdString(programFile)));
    EXPECT_EQ(messages.at(messages.size() - 2), QString::fromUtf8(kKillPassDoneText));
    EXPECT_EQ(messages.last(), "");
    EXPECT_EQ(rows("ListBox").size(), 3);
}

TEST_F(KillPassTest, TheMenusCheckItemCleansEveryAutostartPlaceAndIsKept) {
    Platform& platform = machine.platform();
    const std::string dormant = appFile("run/ui-dormant.exe");
    WriteFile(dormant, "a dormant copy");
    platform.setValue(RegRoot::CurrentUser, kRunKey, "Updater", {RegText, dormant});
    WriteFile(appFile("VirusList.txt"), "ui-dormant.exe\r\n");
    showForm();
    auto* choice = control<QAction>("NCleanAutostart");
    ASSERT_TRUE(choice->isCheckable());
    EXPECT_FALSE(choice->isChecked());
    choice->trigger();
    EXPECT_EQ(platform.readProfileString(appFile("Config.ini"), "Autostart", "Clean", ""), "True");

    press("SBPestrel");
    finishWorkers();
    EXPECT_FALSE(platform.queryValue(RegRoot::CurrentUser, kRunKey, "Updater"));
    EXPECT_FALSE(fs::exists(dormant));

    form.reset();
    showForm();
    EXPECT_TRUE(control<QAction>("NCleanAutostart")->isChecked()) << "read back from Config.ini";
}

// A rule file that does not compile is named where the pass's status texts leave it standing: in
// the status bar's tooltip and in the preview.
TEST_F(KillPassTest, TheRulesBesideTheListRemoveAMatchingFileAndTheStatusTextSaysSo) {
    const std::string renamed = machine.context().SysDir + "ui-renamed.exe";
    WriteFile(renamed, "PESTREL, harmless");
    // By the file's first bytes: this test's own program, which the pass scans too as a running
    // image, holds the rule's text but does not start with it.
    WriteFile(appFile("Rules/mark.yar"),
              "rule UiMark { condition: uint32be(0) == 0x50455354 and filesize < 64 }\n");
    WriteFile(appFile("Rules/broken.yar"), "rule { condition: \n");
    WriteFile(appFile("VirusList.txt"), "ui-absent.exe\r\n");
    showForm();
    finishWorkers();

    const QStringList messages = messagesDuring([&] {
        press("SBPestrel");
        finishWorkers();
    });
    EXPECT_FALSE(fs::exists(renamed));
    EXPECT_TRUE(fs::exists(appFile("Temp/ui-renamed.exe")));
    EXPECT_TRUE(messages.contains(QString::fromStdString("match " + renamed + " rule:UiMark")))
        << messages.join('\n').toStdString();
    ASSERT_GE(messages.size(), 2);
    EXPECT_TRUE(messages.filter("broken.yar").isEmpty()) << messages.join('\n').toStdString();
    EXPECT_EQ(messages.at(messages.size() - 2), QString::fromUtf8(kKillPassDoneText));
    EXPECT_TRUE(control("StatusBar")->toolTip().contains("broken.yar"));

    control<QAction>("NPreview")->trigger();
    finishWorkers();
    QApplication::processEvents();
    auto* preview = form->findChild<QWidget*>("PreviewWindow");
    ASSERT_NE(preview, nullptr);
    const QString lines = preview->findChild<QPlainTextEdit*>()->toPlainText();
    EXPECT_TRUE(lines.section('\n', 0, 0).contains("broken.yar")) << lines.toStdString();
}

TEST_F(KillPassTest, ListClearedDuringThePassEndsItWithTheButtonEnabled) {
    writeAbsentNames(3000);
    showForm();
    finishWorkers();
    QWidget* killButton = control("SBPestrel");
    // The person empties the list once the pass has started down it.
    bool cleared = false;
    QObject::connect(control<QAbstractItemView>("ListBox")->selectionModel(),
                     &QItemSelectionModel::currentChanged, form.get(), [&] {
                         if (std::exchange(cleared, true))
                             return;
                         QMetaObject::invokeMethod(
                             form.get(),
                             [&] {
                                 press("SBCleanList");
                                 killButton->setEnabled(false);
                             },
                             Qt::QueuedConnection);
                     });
    const QStringList messages = messagesDuring([&] {
        press("SBPestrel");
        finishWorkers();
    });
    EXPECT_TRUE(rows("ListBox").isEmpty());
    EXPECT_TRUE(killButton->isEnabled());
    EXPECT_EQ(status(), "");
    EXPECT_FALSE(messages.contains(QString::fromUtf8(kKillPassDoneText)));
}

TEST_F(KillPassTest, ALongPassLeavesTheWindowRunningAndTheMarkerReachesTheTop) {
    constexpr int kNames = 3000;
    writeAbsentNames(kNames);
    showForm();
    finishWorkers();
    int ticks = 0;
    QTimer timer;
    timer.callOnTimeout([&ticks] { ++ticks; });
    timer.start(1);
    const std::vector<int> markers = markersDuring([&] {
        press("SBPestrel");
        finishWorkers();
    });
    EXPECT_GT(ticks, 1) << "the window's events ran during the pass";
    ASSERT_FALSE(markers.empty());
    EXPECT_EQ(markers.back(), 0);
    EXPECT_LT(markers.size(), kNames / 10u) << "marker moves are not shown one by one";
}

TEST_F(KillPassTest, EachWorkerKeepsTheJobItWasCreatedFor) {
    showForm();
    finishWorkers();
    control<QAction>("NSave")->trigger(); // job 99: clear the save message
    press("SBProcessList");               // job 21, started before the first worker ran
    ASSERT_FALSE(rows("ListBoxProcess").isEmpty());
    finishWorkers();
    EXPECT_EQ(status(), "");
    EXPECT_TRUE(rows("ListBoxProcess").isEmpty());
}

TEST_F(KillPassTest, AWorkerThatCannotStartLeavesTheRepairsDoneAndTheButtonEnabled) {
    Platform& platform = machine.platform();
    const char* mainKey = "Software\\Microsoft\\Internet Explorer\\Main";
    platform.setValue(RegRoot::LocalMachine, mainKey, "Start Page",
                      {RegText, "http://hijacked.example/"});
    WriteFile(appFile("VirusList.txt"), "ui-a.exe\r\n");
    showForm();
    finishWorkers();
    form->workers().setStackSize(1); // below every system's minimum: no thread is created
    const QString statusBefore = status();

    press("SBPestrel");
    EXPECT_TRUE(control("SBPestrel")->isEnabled());
    EXPECT_TRUE(form->workers().idle()); // nothing left for closing the window to wait for
    const auto browser = platform.queryValue(RegRoot::LocalMachine, mainKey, "Start Page");
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->text, "about:blank");
    EXPECT_EQ(status(), statusBefore); // no pass ran
}

} // namespace
} // namespace pestrel::test
