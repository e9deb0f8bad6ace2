// The main window's controls by name, with the places, captions and pixel sizes commands and
// people rely on.

#include "tests/ui/UiTest.h"

#include <QAbstractButton>
#include <QTabWidget>

namespace pestrel::test {
namespace {

class LayoutTest : public UiTest {};

struct Placed {
    const char* name;
    QRect geometry;
    const char* caption;
};

TEST_F(LayoutTest, ControlsStandWhereTheLayoutPutsThem) {
    showForm();
    const Placed placed[] = {
        {"SBPestrel", {10, 22, 80, 27}, "杀毒"},
        {"SBCleanList", {8, 56, 80, 27}, "清空列表"},
        {"EADDVirusName", {8, 144, 81, 22}, ""},
        {"SBAddToList", {8, 176, 80, 27}, "添加到列表"},
        {"suiButton1", {8, 216, 41, 27}, "Help"},
        {"SBAbout", {48, 216, 41, 27}, "关于"},
        // The bottom pairs are placed around the middle of the window, 313 wide.
        {"SBProcessList", {76, 8, 80, 27}, "进程列表"},
        {"SBKillProcess", {166, 8, 80, 27}, "结束进程"},
        {"BVirusPath", {76, 8, 80, 27}, "病毒路径"},
        {"BAllVirusPath", {166, 8, 80, 27}, "所有进程路径"},
    };
    for (const Placed& p : placed) {
        QWidget* widget = control(p.name);
        EXPECT_EQ(widget->geometry().topLeft(), p.geometry.topLeft()) << p.name;
        EXPECT_EQ(widget->size(), p.geometry.size()) << p.name;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), p.caption) << p.name;
        }
    }
    EXPECT_EQ(control("Panel3")->width(), 98);
    EXPECT_EQ(control("Panel1")->height(), 24);
    EXPECT_EQ(control("StatusBar")->height(), 19);
    EXPECT_EQ(control("PanelMain22")->height(), 41);
    EXPECT_EQ(control("PanelMain32")->height(), 41);

    auto* pages = control<QTabWidget>("suiPageControl1");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), "杀毒");
    EXPECT_EQ(pages->tabText(1), "进程列表");
    EXPECT_EQ(pages->tabText(2), "进程路径");
}

TEST_F(LayoutTest, FontsAndRowsHaveTheirPixelHeights) {
    WriteBytes(appFile("VirusList.txt"), "a.exe\r\n");
    showForm();
    EXPECT_EQ(form->font().pixelSize(), 12);
    EXPECT_EQ(control("suiPageControl1")->font().pixelSize(), 11);
    for (const char* name : {"ListBox", "ListBoxProcess", "EADDVirusName"})
        EXPECT_EQ(control(name)->font().pixelSize(), 14) << name;
    auto* list = control<QListWidget>("ListBox");
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 14);
}

} // namespace
} // namespace pestrel::test
