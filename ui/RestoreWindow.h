#pragma once
// The undo in the window: the journal's deletions that can still be put back (the latest at each
// place, as the restore puts them back), one checkable row each; "恢复" puts back the journal
// lines of the checked rows, and nothing else, on a worker and lists each action's result.

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace pestrel {

class Platform;
class WorkerGate;

class TRestoreWindow final : public QDialog {
    Q_OBJECT
public:
    TRestoreWindow(Platform& platform, WorkerGate& workers, QWidget* parent = nullptr);

    // Reads the journal afresh into the rows and shows the window.
    void showJournal();

private:
    void rowChanged();
    void restoreChecked();
    std::vector<std::string> checkedLines() const;

    Platform& platform_;
    WorkerGate& workers_;
    QTreeWidget* rows_;
    QPushButton* restore_;
    QPlainTextEdit* results_;
};

} // namespace pestrel
