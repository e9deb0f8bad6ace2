// The list menu's preview of a kill pass and its undo, through the window, against a real running
// program.

#include "tests/ui/UiTest.h"
#include "ui/RestoreWindow.h"
#include "ui/TextWindow.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

class UndoTest : public UiTest {
protected:
    void SetUp() override {
        program = machine.startProgram(folder, "ui-undo.exe");
        WriteFile(appFile("VirusList.txt"), "ui-undo.exe\r\n");
        showForm();
        finishWorkers();
    }
    void TearDown() override { form.reset(); }
    // Triggers the list menu's item and waits for its worker's answer.
    void choose(const char* item) {
        control<QAction>(item)->trigger();
        finishWorkers();
        QApplication::processEvents();
    }
    QString shown(QWidget* window) { return window->findChild<QPlainTextEdit*>()->toPlainText(); }
    QStringList buttonTexts(QWidget* window) {
        QStringList texts;
        for (const QPushButton* button : window->findChildren<QPushButton*>())
            texts << button->text();
        texts.sort();
        return texts;
    }

    const std::string folder = appFile("run/");
    const std::string programFile = folder + "ui-undo.exe";
    std::unique_ptr<RunningProgram> program;
};

// The window's own windows speak its language, Chinese here: their buttons and what each line did.
TEST_F(UndoTest, PreviewShowsThePassAndChangesNothing) {
    choose("NPreview");

    auto* preview = form->findChild<TTextWindow*>("PreviewWindow");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    const QString lines = shown(preview);
    EXPECT_TRUE(lines.contains("结束进程  ")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("\n删除  " + QString::fromStdString(programFile)))
        << lines.toStdString();
    EXPECT_FALSE(lines.contains("terminate")) << lines.toStdString();
    EXPECT_EQ(buttonTexts(preview), QStringList({"关闭"}));
    EXPECT_TRUE(program->alive());
    EXPECT_TRUE(fs::exists(programFile));
    EXPECT_FALSE(fs::exists(appFile("Undo/Journal.txt")));
}

TEST_F(UndoTest, RestorePutsBackTheCheckedDeletion) {
    press("SBPestrel");
    finishWorkers();
    ASSERT_FALSE(fs::exists(programFile));

    choose("NRestore");
    auto* window = form->findChild<TRestoreWindow*>("RestoreWindow");
    ASSERT_NE(window, nullptr);
    auto* rows = window->findChild<QTreeWidget*>("RestoreRows");
    auto* restore = window->findChild<QPushButton*>("RestoreButton");
    ASSERT_EQ(rows->topLevelItemCount(), 1);
    EXPECT_EQ(rows->topLevelItem(0)->text(1), "ui-undo.exe");
    EXPECT_EQ(rows->topLevelItem(0)->text(2), QString::fromStdString(programFile));
    EXPECT_FALSE(restore->isEnabled()); // nothing checked asks for nothing

    rows->topLevelItem(0)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(restore, Qt::LeftButton);
    finishWorkers();
    QApplication::processEvents();

    EXPECT_TRUE(fs::exists(programFile));
    EXPECT_TRUE(shown(window).contains("恢复  " + QString::fromStdString(programFile)))
        << shown(window).toStdString();
    EXPECT_EQ(buttonTexts(window), QStringList({"关闭", "恢复"}));
    EXPECT_EQ(rows->topLevelItemCount(), 0); // put back: no longer offered
}

TEST_F(UndoTest, RestorePutsBackOnlyTheCheckedLineOfANameDeletedInTwoPlaces) {
    const std::string otherFile = appFile("other/") + "ui-undo.exe";
    auto other = machine.startProgram(appFile("other/"), "ui-undo.exe");
    press("SBPestrel");
    finishWorkers();
    ASSERT_FALSE(fs::exists(programFile));
    ASSERT_FALSE(fs::exists(otherFile));

    choose("NRestore");
    auto* window = form->findChild<TRestoreWindow*>("RestoreWindow");
    auto* rows = window->findChild<QTreeWidget*>("RestoreRows");
    ASSERT_EQ(rows->topLevelItemCount(), 2);
    QTreeWidgetItem* chosen = rows->topLevelItem(0)->text(2) == QString::fromStdString(otherFile)
                                  ? rows->topLevelItem(0)
                                  : rows->topLevelItem(1);
    chosen->setCheckState(0, Qt::Checked);
    QTest::mouseClick(window->findChild<QPushButton*>("RestoreButton"), Qt::LeftButton);
    finishWorkers();
    QApplication::processEvents();

    EXPECT_TRUE(fs::exists(otherFile));
    EXPECT_FALSE(fs::exists(programFile)) << "the other deletion of the name stays";
    ASSERT_EQ(rows->topLevelItemCount(), 1);
    EXPECT_EQ(rows->topLevelItem(0)->text(2), QString::fromStdString(programFile));
}

} // namespace
} // namespace pestrel::test
