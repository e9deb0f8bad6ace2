// The window without a mouse: Tab walks the page tabs and each page in reading order, and a whole
// kill pass is driven by keys alone.

#include "skin/containers/SUIPageControl.h"
#include "tests/ui/UiTest.h"

#include <QApplication>
#include <QTest>
#include <filesystem>

namespace pestrel::test {
namespace {

class KeyboardTest : public UiTest {
protected:
    void SetUp() override {
        WriteFile(appFile("VirusList.txt"), "");
        showForm();
        finishWorkers();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        control("ListBox")->setFocus();
    }
    void TearDown() override { form.reset(); }
    QString focused() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

// After the page's last control, Tab comes back round to the page tabs.
TEST_F(KeyboardTest, TabWalksThePageInReadingOrder) {
    QStringList walked{focused()};
    for (int i = 0; i < 7; ++i) {
        key(Qt::Key_Tab);
        walked << focused();
    }
    EXPECT_EQ(walked, QStringList({"ListBox", "SBPestrel", "SBCleanList", "EADDVirusName",
                                   "SBAddToList", "suiButton1", "SBAbout", ""}));
    EXPECT_EQ(QApplication::focusWidget(), control<TsuiPageControl>("suiPageControl1")->TopPanel());
}

// From the page tabs, Right and Left bring each page to the front and Tab walks its controls.
TEST_F(KeyboardTest, TheTabsAreReachedAndArrowsChangeThePage) {
    auto* pages = control<TsuiPageControl>("suiPageControl1");
    key(Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), pages->TopPanel());
    const struct {
        Qt::Key arrow;
        const char* page;
        QStringList controls;
    } steps[] = {
        {Qt::Key_Right, "suiTabSheet2", {"ListBoxProcess", "SBProcessList", "SBKillProcess"}},
        {Qt::Key_Right, "suiTabSheet3", {"Memo", "BVirusPath", "BAllVirusPath"}},
        {Qt::Key_Right, "suiTabSheet3", {"Memo"}}, // the last tab stays
        {Qt::Key_Left, "suiTabSheet2", {"ListBoxProcess"}},
        {Qt::Key_Left, "suiTabSheet1", {"ListBox", "SBPestrel"}},
    };
    for (const auto& step : steps) {
        pages->TopPanel()->setFocus();
        key(step.arrow);
        EXPECT_EQ(pages->ActivePage()->objectName(), step.page);
        QStringList walked;
        for (qsizetype i = 0; i < step.controls.size(); ++i) {
            key(Qt::Key_Tab);
            walked << focused();
        }
        EXPECT_EQ(walked, step.controls) << step.page;
    }
}

TEST_F(KeyboardTest, KeysAloneAddANameAndRunThePass) {
    const std::string folder = appFile("run/");
    auto program = machine.startProgram(folder, "ui-keys.exe");
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Tab);
    ASSERT_EQ(focused(), "EADDVirusName");
    QTest::keyClicks(QApplication::focusWidget(), "ui-keys.exe");
    key(Qt::Key_Return);
    EXPECT_EQ(rows("ListBox"), QStringList({"ui-keys.exe"}));

    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    ASSERT_EQ(focused(), "SBPestrel");
    key(Qt::Key_Space);
    finishWorkers();

    EXPECT_TRUE(program->ended());
    EXPECT_FALSE(std::filesystem::exists(folder + "ui-keys.exe"));
}

} // namespace
} // namespace pestrel::test
