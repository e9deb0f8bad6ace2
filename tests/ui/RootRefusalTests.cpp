// The window run as root over a folder others can write, and ending the process of one row when
// two processes share a name.

#include "engine/RootCheck.h"
#include "tests/ui/UiTest.h"

#include <QListWidget>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pestrel::test {
namespace {

class WindowSafetyTest : public UiTest {};

#ifndef _WIN32
// Windows has no root, and its system guards the folders itself.
TEST_F(WindowSafetyTest, AsRootOverAFolderOthersCanWriteItSaysWhyAndTouchesNothing) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "The refusal applies only when the tests run as root.";
    ::chmod(machine.context().AppPath.c_str(), 0777);
    const std::string library = machine.context().WinDir + "evil.dll";
    WriteFile(library, "MZ");
    WriteFile(appFile("Temp.~txt"), "evil.dll\r\n");

    createForm();
    EXPECT_FALSE(Exists(appFile("VirusList.txt")));
    EXPECT_FALSE(Exists(appFile("Config.ini")));
    EXPECT_TRUE(Exists(library));
    EXPECT_TRUE(status().contains(QString::fromStdString(machine.context().AppPath)));
    EXPECT_EQ(status(), QString::fromStdString(RootRefusal(machine.context())));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, status());
    EXPECT_FALSE(control("suiPageControl1")->isEnabled());
}
#endif

TEST_F(WindowSafetyTest, EndProcessEndsTheProgramOfTheRowNotTheFirstOfItsName) {
    waits.clearProcessListMs = 600000;
    auto first = machine.startProgram(appFile("one/"), "ui-twin.exe");
    auto second = machine.startProgram(appFile("two/"), "ui-twin.exe");
    showForm();
    auto* list = control<QListWidget>("ListBoxProcess");
    const QList<QListWidgetItem*> twins = list->findItems("ui-twin.exe", Qt::MatchExactly);
    ASSERT_EQ(twins.size(), 2);
    // Rows follow the process ids, so the later row is the program with the larger id.
    list->selectionModel()->setCurrentIndex(list->model()->index(list->row(twins.last()), 0),
                                            QItemSelectionModel::NoUpdate);
    press("SBKillProcess");
    RunningProgram& later = first->id() > second->id() ? *first : *second;
    RunningProgram& earlier = first->id() > second->id() ? *second : *first;
    EXPECT_TRUE(later.ended());
    EXPECT_TRUE(earlier.alive());
}

} // namespace
} // namespace pestrel::test
