// The process list page and the process path page.

#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "ui/ListEntries.h"
#include "ui/MainUnit.h"
#include "ui/OneSnapshotPlatform.h"
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
    refreshProcessList(platform_);
}

void TMainForm::refreshProcessList(Platform& platform) {
    ui_->ListBoxProcess->clear();
    for (const std::string& name : ListProcesses(platform))
        AppendRow(ui_->ListBoxProcess, name);
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

void TMainForm::BAllVirusPathClick() {
    ui_->Memo->clear();
    OneSnapshotPlatform snapshot(platform_);
    refreshProcessList(snapshot);
    const int count = ui_->ListBoxProcess->count();
    if (count == 0)
        return;
    startWorker(RunModes::LockAllPathsButton);

    FolderLookup folderOf(snapshot);
    std::vector<ProcessPathRecord> records;
    QStringList rows;
    for (int i = count - 1; i >= 0; --i) {
        const std::string name = RowBytes(ui_->ListBoxProcess->item(i));
        const std::string& folder = folderOf(name);
        if (folder.empty())
            continue;
        records.push_back({name, folder});
        rows << ShownText(name) + QStringLiteral("  #") + ShownText(folder) + QStringLiteral("#")
             << QString();
    }
    MoveFocusMark(ui_->ListBoxProcess, 0);
    ui_->Memo->setPlainText(rows.join(QLatin1Char('\n')));
    // The listing ran over running processes, so the file is replaced even when no folder was
    // found; the engine's writer leaves the file alone for an empty record list.
    if (records.empty()) {
        if (const auto file = JoinName(context_.AppPath, "ProcessList.txt"))
            WriteTextLines(*file, {});
    } else {
        WriteProcessList(context_, records);
    }
}

} // namespace pestrel
