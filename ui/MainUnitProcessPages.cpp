// The process list page and the process path page.

#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "ui/ListEntries.h"
#include "ui/MainUnit.h"
#include "ui_MainForm.h"

#include <unordered_map>

namespace pestrel {
namespace {

// The folder of the first running program whose path contains a name, when that folder exists;
// empty otherwise. Answers from one snapshot and asks once per distinct name, so listing many
// names costs one read of the process table.
class FolderLookup {
public:
    explicit FolderLookup(Platform& platform) : platform_(platform), index_(platform) {}
    FolderLookup(Platform& platform, const std::vector<ProcessRecord>& snapshot)
        : platform_(platform), index_(snapshot) {}

    const std::string& operator()(const std::string& name) {
        auto [at, added] = answers_.try_emplace(name);
        if (added) {
            std::string folder = index_.find(name);
            if (!folder.empty() && platform_.folderExists(folder))
                at->second = std::move(folder);
        }
        return at->second;
    }

private:
    Platform& platform_;
    const ProcessFolderIndex index_;
    std::unordered_map<std::string, std::string> answers_;
};

} // namespace

void TMainForm::SBProcessListClick() {
    refreshProcessList(ListProcesses(platform_));
}

void TMainForm::refreshProcessList(const std::vector<std::string>& names) {
    ui_->ListBoxProcess->clear();
    AppendRows(ui_->ListBoxProcess, names);
    startWorker(RunModes::ClearProcessList);
}

void TMainForm::SBKillProcessClick() {
    // The first row can never be ended from here.
    const QListWidgetItem* current = ui_->ListBoxProcess->currentItem();
    if (!current || ui_->ListBoxProcess->row(current) == 0)
        return;
    KillProcessByName(platform_, RowBytes(current));
    SBProcessListClick();
}

// The listings walk their list from the last row to the first. The window does not repaint
// while they run, so the focus mark is moved once, to where the walk ends.
void TMainForm::BVirusPathClick() {
    ui_->Memo->clear();
    const int count = ui_->ListBox->count();
    if (count == 0)
        return;
    FolderLookup folderOf(platform_);
    QStringList rows;
    for (int i = count - 1; i >= 0; --i) {
        const std::string entry = RowBytes(ui_->ListBox->item(i));
        if (const std::string& folder = folderOf(entry); !folder.empty())
            rows << ShownText(entry) + QStringLiteral("  ") + ShownText(folder);
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
    refreshProcessList(ListProcesses(snapshot));
    if (snapshot.empty())
        return;
    startWorker(RunModes::LockAllPathsButton);

    FolderLookup folderOf(platform_, snapshot);
    std::vector<ProcessPathRecord> records;
    QStringList rows;
    for (auto record = snapshot.rbegin(); record != snapshot.rend(); ++record) {
        const std::string& folder = folderOf(record->exeFile);
        if (folder.empty())
            continue;
        records.push_back({record->exeFile, folder});
        // The empty line after each row is a line break inside the row's paragraph: the text
        // reads the same, at half the paragraphs the text box has to build.
        rows << ShownText(record->exeFile) + QStringLiteral("  #") + ShownText(folder) +
                    QLatin1Char('#') + QChar(QChar::LineSeparator);
    }
    MoveFocusMark(ui_->ListBoxProcess, 0);
    ui_->Memo->setPlainText(rows.join(QLatin1Char('\n')));
    WriteProcessList(context_, records);
}

} // namespace pestrel
