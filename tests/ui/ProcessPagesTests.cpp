// The process list page and the process path page, against real running programs.

#include "engine/Public.h"
#include "platform/ForwardingPlatform.h"
#include "tests/ui/UiTest.h"

#include <QEvent>
#include <QPlainTextEdit>

namespace pestrel::test {
namespace {

class ProcessPagesTest : public UiTest {
protected:
    std::string folder() { return appFile("x/"); }
    std::unique_ptr<RunningProgram> start(const std::string& name) {
        return machine.startProgram(folder(), name);
    }
    QStringList memoLines() { return control<QPlainTextEdit>("Memo")->toPlainText().split('\n'); }
    void makeCurrent(const char* listName, const QString& text,
                     std::initializer_list<QString> alsoSelected = {}) {
        auto* list = control<QListWidget>(listName);
        list->clearSelection();
        for (const QString& other : alsoSelected)
            list->findItems(other, Qt::MatchExactly).first()->setSelected(true);
        const int row = list->row(list->findItems(text, Qt::MatchExactly).first());
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                                QItemSelectionModel::NoUpdate);
    }
};

// Records every change of a widget's enabled state.
class EnabledRecorder : public QObject {
public:
    explicit EnabledRecorder(QWidget* widget) : widget_(widget) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            states.push_back(widget_->isEnabled());
        return false;
    }
    std::vector<bool> states;

private:
    QWidget* widget_;
};

TEST_F(ProcessPagesTest, RefreshListsRunningProgramsAndTheListEmptiesLater) {
    auto program = start("ui-listed.exe");
    showForm(); // showing the window refreshes once
    EXPECT_TRUE(rows("ListBoxProcess").contains("ui-listed.exe"));
    finishWorkers();
    EXPECT_TRUE(rows("ListBoxProcess").isEmpty());

    press("SBProcessList");
    EXPECT_TRUE(rows("ListBoxProcess").contains("ui-listed.exe"));
}

TEST_F(ProcessPagesTest, EndProcessEndsOnlyTheCurrentRowAndNeverTheFirst) {
    waits.clearProcessListMs = 600000;
    auto first = start("ui-end-a.exe");
    auto second = start("ui-end-b.exe");
    showForm();

    auto* list = control<QListWidget>("ListBoxProcess");
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                            QItemSelectionModel::NoUpdate);
    const QStringList before = rows("ListBoxProcess");
    press("SBKillProcess");
    EXPECT_EQ(rows("ListBoxProcess"), before);

    makeCurrent("ListBoxProcess", "ui-end-b.exe", {"ui-end-a.exe"});
    press("SBKillProcess");
    EXPECT_TRUE(second->ended());
    EXPECT_TRUE(first->alive());
    EXPECT_TRUE(rows("ListBoxProcess").contains("ui-end-a.exe"));
    EXPECT_FALSE(rows("ListBoxProcess").contains("ui-end-b.exe"));
}

TEST_F(ProcessPagesTest, VirusPathListsRunningEntriesFromTheLastToTheFirst) {
    auto a = start("ui-path-a.exe");
    auto b = start("ui-path-b.exe");
    WriteFile(appFile("VirusList.txt"), "ui-path-a.exe\r\nui-absent.exe\r\nUI-PATH-B.EXE\r\n");
    showForm();
    press("BVirusPath");
    const QString shown = QString::fromStdString(folder());
    EXPECT_EQ(memoLines(), QStringList({"UI-PATH-B.EXE  " + shown, "ui-path-a.exe  " + shown}));
    EXPECT_EQ(form->virusMarker(), 0);

    press("SBCleanList");
    press("BVirusPath");
    EXPECT_EQ(control<QPlainTextEdit>("Memo")->toPlainText(), "");
}

TEST_F(ProcessPagesTest, AllPathsListsEveryProcessWritesTheFileAndLocksTheButton) {
    auto program = start("ui-all.exe");
    showForm();
    EnabledRecorder button(control("BAllVirusPath"));
    press("BAllVirusPath");

    const QString row = "ui-all.exe  #" + QString::fromStdString(folder()) + "#";
    const QStringList lines = memoLines();
    const auto at = lines.indexOf(row);
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines.value(at + 1), "");

    finishWorkers();
    const std::string file = ReadFile(appFile("ProcessList.txt")).value_or("");
    EXPECT_NE(file.find(row.toStdString() + "\r\n\r\n"), std::string::npos);
    EXPECT_EQ(file, (lines.join("\r\n") + "\r\n").toStdString());
    EXPECT_EQ(button.states, std::vector<bool>({false, true}));
}

TEST_F(ProcessPagesTest, BackToBackListingsLeaveTheLatestInTheFile) {
    showForm();
    press("BAllVirusPath");
    auto program = start("ui-latest.exe");
    form->setAllPathsEnabled(true); // the lock would make the second press a no-op
    press("BAllVirusPath");
    const QString memo = control<QPlainTextEdit>("Memo")->toPlainText();
    ASSERT_TRUE(memo.contains("ui-latest.exe  #"));

    finishWorkers();
    const std::string expected = (memo.split('\n').join("\r\n") + "\r\n").toStdString();
    EXPECT_EQ(ReadFile(appFile("ProcessList.txt")), expected);
}

// A process table whose program paths cannot be read, as for another user's processes.
class PathlessPlatform final : public ForwardingPlatform {
public:
    using ForwardingPlatform::ForwardingPlatform;
    std::vector<ProcessRecord> processSnapshot(SnapshotDetail detail) override {
        auto records = ForwardingPlatform::processSnapshot(detail);
        for (ProcessRecord& record : records)
            record.exePath.reset();
        return records;
    }
};

TEST_F(ProcessPagesTest, AllPathsWithoutAnyReadableFolderStillReplacesTheFile) {
    PathlessPlatform pathless(machine.platform());
    platform = &pathless;
    WriteFile(appFile("ProcessList.txt"), "old listing\r\n");
    showForm();
    press("BAllVirusPath");
    finishWorkers();
    EXPECT_EQ(ReadFile(appFile("ProcessList.txt")), "");
    EXPECT_EQ(control<QPlainTextEdit>("Memo")->toPlainText(), "");
    form.reset(); // its workers use the platform that ends with this test
}

} // namespace
} // namespace pestrel::test
