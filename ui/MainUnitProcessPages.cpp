// The process list page and the process path page.

#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "ui/ListEntries.h"
#include "ui/MainUnit.h"
#include "ui_MainForm.h"

namespace pestrel {

void TMainForm::SBProcessListClick() {
    ui_->ListBoxProcess->clear();
    for (const std::string& name : ListProcesses(platform_))
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

void TMainForm::BVirusPathClick() {
    ui_->Memo->clear();
    const int count = ui_->ListBox->count();
    if (count == 0)
        return;
    // One snapshot answers every entry; a list of many entries would otherwise take one snapshot
    // per entry while the window waits.
    const ProcessFolderIndex folders(platform_);
    QStringList rows;
    for (int i = count - 1; i >= 0; --i) {
        setVirusMarker(i);
        const std::string entry = RowBytes(ui_->ListBox->item(i));
        const std::string folder = folders.find(entry);
        if (!folder.empty() && platform_.folderExists(folder))
            rows << ShownText(entry) + QStringLiteral("  ") + ShownText(folder);
    }
    ui_->Memo->setPlainText(rows.join(QLatin1Char('\n')));
}

void TMainForm::BAllVirusPathClick() {
    ui_->Memo->clear();
    SBProcessListClick();
    const int count = ui_->ListBoxProcess->count();
    if (count == 0)
        return;
    startWorker(RunModes::LockAllPathsButton);

    const ProcessFolderIndex folders(platform_);
    std::vector<ProcessPathRecord> records;
    QStringList rows;
    for (int i = count - 1; i >= 0; --i) {
        MoveFocusMark(ui_->ListBoxProcess, i);
        const std::string name = RowBytes(ui_->ListBoxProcess->item(i));
        const std::string folder = folders.find(name);
        if (folder.empty() || !platform_.folderExists(folder))
            continue;
        records.push_back({name, folder});
        rows << ShownText(name) + QStringLiteral("  #") + ShownText(folder) + QStringLiteral("#")
             << QString();
    }
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
