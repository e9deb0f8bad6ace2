// The commands of the virus list page: add, pick, delete, edit, save, clear, the popup menu and
// the kill button's repairs.

#include "tests/ui/UiTest.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

namespace pestrel::test {
namespace {

const QString kSaved = QStringLiteral("列表已经保存！");

class VirusListTest : public UiTest {
protected:
    void SetUp() override {
        WriteFile(appFile("VirusList.txt"), "a.exe\r\n  b.dll\r\nc.exe\r\n");
        showForm();
    }
    QLineEdit* edit() { return control<QLineEdit>("EADDVirusName"); }
    void type(const QString& text) {
        edit()->setFocus();
        QTest::keyClicks(edit(), text);
    }
    void choose(const char* action) { control<QAction>(action)->trigger(); }
    void select(std::initializer_list<int> selected, int current) {
        auto* list = control<QListView>("ListBox");
        list->clearSelection();
        for (int row : selected)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select);
        list->selectionModel()->setCurrentIndex(list->model()->index(current, 0),
                                                QItemSelectionModel::NoUpdate);
    }
    std::optional<std::string> storedList() { return ReadFile(appFile("VirusList.txt")); }
};

TEST_F(VirusListTest, TypedPathAddsItsFileNameSavesAndTheMessageIsClearedLater) {
    QSignalSpy messages(control<QStatusBar>("StatusBar"), &QStatusBar::messageChanged);
    type("C:\\Program Files\\x\\bad.exe");
    QTest::keyClick(edit(), Qt::Key_Return);

    EXPECT_EQ(rows("ListBox").last(), "bad.exe");
    EXPECT_TRUE(edit()->text().isEmpty());
    EXPECT_TRUE(edit()->hasFocus());
    EXPECT_EQ(storedList(), "a.exe\r\n  b.dll\r\nc.exe\r\nbad.exe\r\n");
    EXPECT_EQ(status(), kSaved);
    finishWorkers();
    EXPECT_EQ(status(), "");
    ASSERT_GE(messages.count(), 2);
    EXPECT_EQ(messages.at(messages.count() - 2).at(0).toString(), kSaved);
}

TEST_F(VirusListTest, TypedNameIsTrimmedAndDuplicatesAreKept) {
    for (int i = 0; i < 2; ++i) {
        type("   bad.exe  ");
        press("SBAddToList");
    }
    EXPECT_EQ(rows("ListBox").mid(3), QStringList({"bad.exe", "bad.exe"}));
    EXPECT_EQ(openDialog.opened, 0);
}

TEST_F(VirusListTest, TypedPathWithoutAFileNameAddsNothing) {
    for (const char* path : {"C:\\Windows\\", "D:", "/tmp/  "}) {
        edit()->setText(path);
        press("SBAddToList");
        EXPECT_EQ(rows("ListBox").size(), 3) << path;
        EXPECT_EQ(edit()->text(), path);
    }
    EXPECT_EQ(storedList(), "a.exe\r\n  b.dll\r\nc.exe\r\n");
    EXPECT_EQ(openDialog.opened, 0);
}

// A hash line is added whole; text that only begins like one stays in the edit box, unsaved,
// without a message.
TEST_F(VirusListTest, TypedHashLineIsAddedWholeAndABrokenOneStays) {
    const QString hex = QString(64, 'a');
    const struct {
        QString typed;
        QString added; // empty: nothing is added
    } cases[] = {
        {"  sha256:" + hex + " ", "sha256:" + hex},
        {"SHA256:" + hex.toUpper(), "SHA256:" + hex.toUpper()},
        {"sha256:" + hex.left(63), ""},
        {"sha256:" + hex.left(63) + "g", ""},
        {"sha256:", ""},
        {"sha256:C:\\x\\bad.exe", ""},
    };
    for (const auto& c : cases) {
        const QStringList before = rows("ListBox");
        const std::optional<std::string> stored = storedList();
        edit()->setText(c.typed);
        QTest::keyClick(edit(), Qt::Key_Return);
        if (c.added.isEmpty()) {
            EXPECT_EQ(rows("ListBox"), before) << c.typed.toStdString();
            EXPECT_EQ(edit()->text(), c.typed);
            EXPECT_EQ(storedList(), stored);
        } else {
            EXPECT_EQ(rows("ListBox"), before + QStringList{c.added}) << c.typed.toStdString();
            EXPECT_TRUE(edit()->text().isEmpty());
            EXPECT_EQ(storedList()->substr(storedList()->size() - c.added.size() - 2),
                      c.added.toStdString() + "\r\n");
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(openDialog.opened, 0);
}

TEST_F(VirusListTest, EmptyEditOpensTheDialogAndAPickedFileIsAddedUnsaved) {
    const std::string picked = machine.root() + "evil.dll";
    WriteFile(picked, "x");
    openDialog.answer = QString::fromStdString(picked);
    type("   ");
    QTest::keyClick(edit(), Qt::Key_Enter);

    EXPECT_EQ(openDialog.opened, 1);
    EXPECT_EQ(openDialog.filters, QStringList({"病毒文件(*.exe;*.dll)", "所有文件(*.*)"}));
    EXPECT_EQ(rows("ListBox").last(), "evil.dll");
    EXPECT_EQ(storedList(), "a.exe\r\n  b.dll\r\nc.exe\r\n");
    EXPECT_EQ(edit()->text(), "   ");
}

TEST_F(VirusListTest, CancelledOrMissingPickAddsNothing) {
    press("SBAddToList");
    openDialog.answer = QString::fromStdString(machine.root() + "gone.exe");
    press("SBAddToList");
    EXPECT_EQ(openDialog.opened, 2);
    EXPECT_EQ(rows("ListBox").size(), 3);
}

TEST_F(VirusListTest, DeleteRemovesExactlyTheSelectedEntriesAndSaves) {
    select({0, 2}, 1);
    choose("NDelete");
    EXPECT_EQ(rows("ListBox"), QStringList({"  b.dll"}));
    EXPECT_EQ(storedList(), "  b.dll\r\n");

    select({}, 0);
    WriteFile(appFile("VirusList.txt"), "untouched");
    choose("NDelete");
    EXPECT_EQ(storedList(), "untouched");
}

TEST_F(VirusListTest, EditMovesTheCurrentEntryWithItsBlanksAndAddingBackTrimsThem) {
    select({}, 1);
    choose("NEdit");
    EXPECT_EQ(edit()->text(), "  b.dll");
    EXPECT_EQ(rows("ListBox"), QStringList({"a.exe", "c.exe"}));
    EXPECT_EQ(storedList(), "a.exe\r\nc.exe\r\n");

    press("SBAddToList");
    EXPECT_EQ(rows("ListBox").last(), "b.dll");
}

TEST_F(VirusListTest, ClearAsksFirstAndNeverWritesTheFile) {
    boxes.answer = false;
    press("SBCleanList");
    EXPECT_EQ(rows("ListBox").size(), 3);

    boxes.answer = true;
    press("SBCleanList");
    EXPECT_TRUE(rows("ListBox").isEmpty());
    EXPECT_EQ(boxes.questions, QStringList({"确实要清空病毒列表吗?", "确实要清空病毒列表吗?"}));
    EXPECT_EQ(storedList(), "a.exe\r\n  b.dll\r\nc.exe\r\n");

    form.reset();
    createForm();
    EXPECT_EQ(form->virusEntryCount(), 3);
}

TEST_F(VirusListTest, ClickRightClickAndArrowKeysOpenThePopup) {
    auto* list = control<QListView>("ListBox");
    EXPECT_FALSE(form->findChild<QMenu*>("PopupMenu")) << "made when first shown";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    auto* popup = control<QMenu>("PopupMenu");
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(list->selectionModel()->selectedRows(),
              QModelIndexList({list->model()->index(1, 0)}));
    popup->hide();
    const QList<QAction*> items = popup->actions();
    ASSERT_EQ(items.size(), 8);
    EXPECT_EQ(items[0]->text(), "删除此项");
    EXPECT_EQ(items[1]->text(), "编辑此项");
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), "保存列表");
    EXPECT_TRUE(items[4]->isSeparator());
    EXPECT_EQ(items[5]->text(), "预览");
    EXPECT_EQ(items[6]->text(), "恢复...");
    EXPECT_EQ(items[7]->text(), "清除所有自启动项");
    EXPECT_TRUE(items[7]->isCheckable());

    emit list->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(popup->isVisible());
    popup->hide();

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTRY_VERIFY(popup->isVisible());
    popup->hide();
}

TEST_F(VirusListTest, SaveThatCannotWriteShowsNothingAndStartsNoWorker) {
    std::filesystem::remove(appFile("VirusList.txt"));
    std::filesystem::create_directory(appFile("VirusList.txt"));
    finishWorkers();
    form->setStatusText("before");
    choose("NSave");
    EXPECT_EQ(status(), "before");
    EXPECT_TRUE(form->workers().idle());
}

TEST_F(VirusListTest, KillWithAnEmptyListStartsNoPassButRepairs) {
    boxes.answer = true;
    press("SBCleanList");
    finishWorkers();
    press("SBPestrel");
    EXPECT_TRUE(form->workers().idle());
    const auto command =
        machine.platform().queryValue(RegRoot::ClassesRoot, "txtfile\\shell\\open\\command", "");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->text, "Notepad.exe \"%1\" ");
    const auto tools = machine.platform().queryValue(
        RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
        "DisableRegistryTools");
    ASSERT_TRUE(tools);
    EXPECT_EQ(tools->number, 0u);
}

} // namespace
} // namespace pestrel::test
