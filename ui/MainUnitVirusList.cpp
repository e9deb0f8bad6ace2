// The virus list page: adding, deleting, editing, saving and clearing entries, and the kill
// button.

#include "engine/HashLine.h"
#include "engine/Public.h"
#include "engine/WorkFiles.h"
#include "ui/ListEntries.h"
#include "ui/MainUnit.h"
#include "ui/VirusListModel.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QCursor>
#include <QFileInfo>
#include <QMenu>
#include <QScopeGuard>
#include <optional>

namespace pestrel {
namespace {

// The entry a typed text names: a hash line whole, else the text after the last folder
// separator or drive colon of a typed path (the whole text when there is none), without the
// blanks at either end. Nothing for text that begins like a hash line but is none.
std::optional<std::string> TypedEntry(const std::string& text) {
    switch (KindOfListLine(text)) {
    case ListLineKind::Hash:
        return TrimBlanks(text);
    case ListLineKind::MalformedHash:
        return std::nullopt;
    case ListLineKind::Name:
        break;
    }
    const std::size_t cut = text.find_last_of("\\/:");
    return TrimBlanks(cut == std::string::npos ? text : text.substr(cut + 1));
}

} // namespace

void TMainForm::ListBoxClick() {
    listMenu()->popup(QCursor::pos());
}

QMenu* TMainForm::listMenu() {
    if (listMenu_)
        return listMenu_;
    listMenu_ = new QMenu(this);
    listMenu_->setObjectName(QStringLiteral("PopupMenu"));
    listMenu_->addActions({ui_->NDelete, ui_->NEdit, ui_->N1, ui_->NSave});
    listMenu_->addSeparator();
    listMenu_->addActions({previewAction_, restoreAction_, cleanAutostartAction_});
    return listMenu_;
}

void TMainForm::addAutostartChoice() {
    cleanAutostartAction_ = new QAction(tr("清除所有自启动项"), this);
    cleanAutostartAction_->setObjectName(QStringLiteral("NCleanAutostart"));
    cleanAutostartAction_->setCheckable(true);
    // Read once the folders are known to be safe; written at each change.
    connect(cleanAutostartAction_, &QAction::toggled, this,
            [this](bool clean) { WriteCleanAutostartChoice(context_, clean); });
}

void TMainForm::NSaveClick() {
    if (!SaveVirusList(context_, virusList_->entries()))
        return;
    setStatusText(tr("列表已经保存！"));
    startWorker(WorkerJob::ClearStatusText);
}

void TMainForm::SBAddToListClick() {
    const std::string typed = LocalBytes(ui_->EADDVirusName->text());
    if (HasVisibleText(typed)) {
        // A path ending in a separator names no file; an empty entry would match every process
        // path and the unnamed start-up value; a broken hash line matches nothing. The text
        // stays for the person to finish.
        const std::optional<std::string> entry = TypedEntry(typed);
        if (!entry || entry->empty())
            return;
        virusList_->append({*entry});
        ui_->EADDVirusName->clear();
        NSaveClick();
        ui_->EADDVirusName->setFocus();
        return;
    }
    const QString picked =
        seams_.openDialog->pickFile(this, {tr("病毒文件(*.exe;*.dll)"), tr("所有文件(*.*)")});
    if (picked.isEmpty() || !RegularFileAt(platform_, LocalBytes(picked)))
        return;
    virusList_->append({LocalBytes(QFileInfo(picked).fileName())});
}

void TMainForm::EADDVirusNameKeyPress() {
    SBAddToListClick();
}

void TMainForm::NDeleteClick() {
    const QModelIndexList selected = ui_->ListBox->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected)
        rows.push_back(index.row());
    virusList_->removeRows(std::move(rows));
    NSaveClick();
}

void TMainForm::NEditClick() {
    if (virusList_->rowCount() == 0)
        return;
    const int current = FocusMark(ui_->ListBox);
    if (const std::optional<std::string> entry = virusList_->entry(current);
        entry && HasVisibleText(*entry)) {
        ui_->EADDVirusName->setText(ShownText(*entry));
        virusList_->removeRows({current});
    }
    NSaveClick();
}

void TMainForm::SBCleanListClick() {
    if (seams_.boxes->confirm(this, tr("确实要清空病毒列表吗?")))
        virusList_->clear();
}

// The repairs run, and the button is enabled again, whatever happens to the worker: when it
// cannot be started, the button comes back after the repairs.
void TMainForm::SBPestrelClick() {
    const auto enableAgain = qScopeGuard([this] { ui_->SBPestrel->setEnabled(true); });
    if (virusList_->rowCount() > 0) {
        ui_->SBPestrel->setEnabled(false);
        try {
            startWorker(WorkerJob::KillPass);
            ui_->SBPestrel->setEnabled(true);
        } catch (...) {
        }
    }
    RepairSystemSettings(platform_);
}

} // namespace pestrel
