#pragma once
// The main window: the virus list page, the process list and process path pages, the status
// bar. Its handlers gather input from the controls and call the engine; long and timed jobs go
// to TRunExecute workers.

#include "engine/Context.h"
#include "engine/WorkFiles.h"
#include "ui/GatedPlatform.h"
#include "ui/RunExecute.h"
#include "ui/Seams.h"
#include "ui/WorkerGate.h"

#include <QWidget>
#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Ui {
class MainForm;
}

class QAction;
class QMenu;

namespace pestrel {

class TAboutForm;
class TRestoreWindow;
class TTextWindow;
class VirusListModel;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    // Runs the creation handler: fills the context from `platform`, reads Config.ini, loads the
    // virus list and finishes pending library deletions.
    explicit TMainForm(Platform& platform, Seams seams = Seams::Standard(), RunWaits waits = {},
                       QWidget* parent = nullptr);
    // Ends the running workers first.
    ~TMainForm() override;

    Context& context() { return context_; }
    WorkerGate& workers() { return gate_; }
    const RunWaits& waits() const { return waits_; }

    // The virus list, its marker and the status bar, on the UI thread unless said otherwise;
    // workers reach them through calls carried out there.
    int virusEntryCount() const;
    std::optional<std::string> virusEntry(int index) const; // nothing when out of range
    // Shared, not copied: the list copies itself before it next changes.
    std::shared_ptr<const std::vector<std::string>> virusEntries() const;
    // Moves with every change of the virus list; any thread may read it.
    std::uint64_t virusListVersion() const;
    int virusMarker() const;
    // The same, readable from any thread.
    int shownVirusMarker() const { return shownMarker_.load(); }
    void setVirusMarker(int index);
    QString statusText() const;
    void setStatusText(const QString& text);
    // The rule files the last kill pass left out and why, in the status bar's tooltip, where the
    // pass's own status texts do not reach it; empty takes the tooltip away.
    void setRuleProblems(const QString& problems);
    void enableKillButton();
    void clearProcessList();
    void setAllPathsEnabled(bool enabled);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectCommands();
    void makeAccessible();
    // Starts a TRunExecute worker for `job`; throws when its thread cannot be started.
    void startWorker(WorkerJob job);
    void refreshProcessList(std::vector<ProcessRecord> snapshot);
    void writeProcessListInBackground(std::vector<ProcessPathRecord> records);

    void startVirusListRead();
    void FormCreate();
    void FormShow();
    void FormResize();

    void ListBoxClick();
    // The list's pop-up menu, made when first shown: the list's own items, the undo commands and
    // the autostart choice.
    QMenu* listMenu();
    void NDeleteClick();
    void NEditClick();
    void NSaveClick();
    // Below the list menu's own items: the kill pass previewed, and the undo.
    void addUndoCommands();
    void NPreviewClick();
    void NRestoreClick();
    // Last in the list menu: the choice of cleaning every autostart place, kept in Config.ini.
    void addAutostartChoice();
    void EADDVirusNameKeyPress();
    void SBAddToListClick();
    void SBCleanListClick();
    void SBPestrelClick();

    void SBProcessListClick();
    void SBKillProcessClick();
    void BVirusPathClick();
    void BAllVirusPathClick();

    void suiButton1Click();
    void SBAboutClick();

    std::unique_ptr<Ui::MainForm> ui_;
    VirusListModel* virusList_; // the rows of ListBox
    WorkerGate gate_;
    GatedPlatform platform_;
    Context context_;
    Seams seams_;
    RunWaits waits_;
    std::vector<std::string> unsafeFolders_; // run as root, folders others can change
    std::future<VirusListLoad> listRead_;    // until the window has the list
    std::unique_ptr<TAboutForm> aboutForm_;  // made on first need
    TTextWindow* readmeWindow_ = nullptr;    // made on first need; a child of the window
    TTextWindow* previewWindow_ = nullptr;   // likewise
    TRestoreWindow* restoreWindow_ = nullptr;
    QMenu* listMenu_ = nullptr;        // made on first need; a child of the window
    QAction* previewAction_ = nullptr; // the pop-up menu's commands beyond the layout's
    QAction* restoreAction_ = nullptr;
    QAction* cleanAutostartAction_ = nullptr;
    // The process of each row of ListBoxProcess, so that a row ends its own process.
    std::vector<ProcessRecord> processRows_;
    // ProcessList.txt is written off the UI thread; only the latest listing's writer writes.
    std::mutex processListFile_;
    std::atomic<unsigned> latestProcessListing_{0};
    std::atomic<int> shownMarker_{-1};
};

} // namespace pestrel
