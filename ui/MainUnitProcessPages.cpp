// The process list page and the process path page.

#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "ui/ListEntries.h"
#include "ui/MainUnit.h"
#include "ui/VirusListModel.h"
#include "ui_MainForm.h"

#include <QThread>
#include <unordered_map>

namespace pestrel {
namespace {

// The folder of the first running program whose path contains a name, when that folder exists;
// empty otherwise. Answers from one snapshot and asks once per distinct name, so listing many
// names costs one read of the process table.
class FolderLookup {
public:
    struct Answer {
        std::string folder;
        QString shown; // the folder as the text box shows it
    };

    explicit FolderLookup(Platform& platform) : platform_(platform), index_(platform) {}
    FolderLookup(Platform& platform, const std::vector<ProcessRecord>& snapshot)
        : platform_(platform), index_(snapshot) {}

    const Answer& operator()(const std::string& name) {
        auto [at, added] = answers_.try_emplace(name);
        if (added) {
            std::string folder = index_.find(name);
            if (!folder.empty() && platform_.holdFolder(folder)) {
                at->second.shown = ShownText(folder);
                at->second.folder = std::move(folder);
            }
        }
        return at->second;
    }

private:
    Platform& platform_;
    const ProcessFolderIndex index_;
    std::unordered_map<std::string, Answer> answers_;
};

} // namespace

void TMainForm::SBProcessListClick() {
    refreshProcessList(platform_.processSnapshot(SnapshotDetail::WithPaths));
}

void TMainForm::refreshProcessList(std::vector<ProcessRecord> snapshot) {
    ui_->ListBoxProcess->clear();
    AppendRows(ui_->ListBoxProcess, ListProcesses(snapshot));
    processRows_ = std::move(snapshot);
    startWorker(WorkerJob::ClearProcessList);
}

void TMainForm::SBKillProcessClick() {
    // The first row can never be ended from here. A row ends the process it shows, not the
    // first one of that name.
    const int row = ui_->ListBoxProcess->currentRow();
    if (row <= 0 || row >= static_cast<int>(processRows_.size()))
        return;
    // The row was listed a while ago: its process is ended only while its id still runs the
    // program the row shows, and then through a record taken for ending.
    const ProcessRecord& shown = processRows_[static_cast<std::size_t>(row)];
    for (const ProcessRecord& now : platform_.processSnapshot(SnapshotDetail::ForEnding)) {
        if (now.id == shown.id && now.exeFile == shown.exeFile && now.exePath == shown.exePath) {
            EndRecordedProcess(platform_, now);
            break;
        }
    }
    SBProcessListClick();
}

// The listings walk their list from the last row to the first. The window does not repaint
// while they run, so the focus mark is moved once, to where the walk ends.
void TMainForm::BVirusPathClick() {
    ui_->Memo->clear();
    const std::vector<std::string>& entries = virusList_->entries();
    if (entries.empty())
        return;
    FolderLookup folderOf(platform_);
    QStringList rows;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::string& entry = *it;
        if (const FolderLookup::Answer& found = folderOf(entry); !found.folder.empty())
            rows << ShownText(entry) + QStringLiteral("  ") + found.shown;
    }
    setVirusMarker(0);
    ui_->Memo->setPlainText(rows.join(QLatin1Char('\n')));
}

// The process list and the folders come from one snapshot, so the listing reads the process
// table once and its rows describe one moment.
void TMainForm::BAllVirusPathClick() {
    ui_->Memo->clear();
    const std::vector<ProcessRecord> snapshot =
        platform_.processSnapshot(SnapshotDetail::WithPaths);
    refreshProcessList(snapshot);
    if (snapshot.empty())
        return;
    startWorker(WorkerJob::LockAllPathsButton);

    FolderLookup folderOf(platform_, snapshot);
    std::vector<ProcessPathRecord> records;
    QStringList rows;
    for (auto record = snapshot.rbegin(); record != snapshot.rend(); ++record) {
        const FolderLookup::Answer& found = folderOf(record->exeFile);
        if (found.folder.empty())
            continue;
        records.push_back({record->exeFile, found.folder});
        // The empty line after each row is a line break inside the row's paragraph: the text
        // reads the same, at half the paragraphs the text box has to build.
        rows << ShownText(record->exeFile) + QStringLiteral("  #") + found.shown +
                    QLatin1Char('#') + QChar(QChar::LineSeparator);
    }
    MoveFocusMark(ui_->ListBoxProcess, 0);
    ui_->Memo->setPlainText(rows.join(QLatin1Char('\n')));
    writeProcessListInBackground(std::move(records));
}

// The window does not wait for the disk. Writers of older listings that come late step aside, so
// the file always ends up holding the latest listing.
void TMainForm::writeProcessListInBackground(std::vector<ProcessPathRecord> records) {
    const unsigned listing = ++latestProcessListing_;
    QThread* writer = QThread::create([this, listing, records = std::move(records)] {
        const std::lock_guard lock(processListFile_);
        if (listing == latestProcessListing_.load())
            WriteProcessList(context_, records);
    });
    gate_.start(writer);
}

} // namespace pestrel
