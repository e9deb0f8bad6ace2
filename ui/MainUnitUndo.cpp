// The virus list menu's preview of a kill pass and its undo, both through the engine the command
// line uses, on workers, so that the window stays responsive.

#include "ui/ActionText.h"
#include "ui/EngineJob.h"
#include "ui/MainUnit.h"
#include "ui/PassPreview.h"
#include "ui/RestoreWindow.h"
#include "ui/TextWindow.h"
#include "ui_MainForm.h"

#include <QAction>
#include <stdexcept>

namespace pestrel {

void TMainForm::addUndoCommands() {
    previewAction_ = new QAction(tr("预览"), this);
    previewAction_->setObjectName(QStringLiteral("NPreview"));
    restoreAction_ = new QAction(tr("恢复..."), this);
    restoreAction_->setObjectName(QStringLiteral("NRestore"));
    connect(previewAction_, &QAction::triggered, this, [this] {
        try {
            NPreviewClick();
        } catch (...) {
        }
    });
    connect(restoreAction_, &QAction::triggered, this, &TMainForm::NRestoreClick);
}

// The list as it is now is previewed; its lines come back when the dry run has ended.
void TMainForm::NPreviewClick() {
    Platform& platform = platform_;
    if (!gate_.start(new TEngineJob([this, &platform, entries = virusEntries()] {
            const KillPassPreview preview = PreviewKillPass(platform, *entries);
            QStringList lines;
            if (!preview.ruleProblems.isEmpty())
                lines << preview.ruleProblems;
            for (const PassAction& action : preview.actions)
                lines << ActionText(action);
            QMetaObject::invokeMethod(
                this,
                [this, lines] {
                    if (!previewWindow_)
                        previewWindow_ = new TTextWindow(this);
                    previewWindow_->setObjectName(QStringLiteral("PreviewWindow"));
                    previewWindow_->showLines(tr("预览"), lines);
                },
                Qt::QueuedConnection);
        })))
        throw std::runtime_error("the worker thread could not be started");
}

void TMainForm::NRestoreClick() {
    if (!restoreWindow_)
        restoreWindow_ = new TRestoreWindow(platform_, gate_, this);
    restoreWindow_->showJournal();
}

} // namespace pestrel
