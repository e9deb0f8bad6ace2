// The main window for a person without a mouse or without sight: every control is reached with
// Tab in reading order (down each page's list, then its buttons from the top), and the controls
// without a caption of their own are named after the text that stands for them.

#include "ui/MainUnit.h"
#include "ui_MainForm.h"

namespace pestrel {

void TMainForm::makeAccessible() {
    for (TsuiButton* button : findChildren<TsuiButton*>())
        button->setTabStop(true);
    const std::vector<std::vector<QWidget*>> pages = {
        {ui_->ListBox, ui_->SBPestrel, ui_->SBCleanList, ui_->EADDVirusName, ui_->SBAddToList,
         ui_->suiButton1, ui_->SBAbout},
        {ui_->ListBoxProcess, ui_->SBProcessList, ui_->SBKillProcess},
        {ui_->Memo, ui_->BVirusPath, ui_->BAllVirusPath}};
    for (const std::vector<QWidget*>& order : pages) {
        for (std::size_t i = 1; i < order.size(); ++i)
            setTabOrder(order[i - 1], order[i]);
    }
    ui_->ListBox->setAccessibleName(ui_->Panel1->text());
    ui_->EADDVirusName->setAccessibleName(ui_->Label1->text() + QLatin1Char(' ') +
                                          ui_->Label2->text());
    ui_->ListBoxProcess->setAccessibleName(ui_->suiTabSheet2->Caption());
    ui_->Memo->setAccessibleName(ui_->suiTabSheet3->Caption());
}

} // namespace pestrel
