// The main window for a person without a mouse or without sight: every control is reached with
// Tab in reading order (the page tabs, then down the page's list and its buttons from the top;
// Left and Right on the tabs change the page), and the controls without a caption of their own
// are named after the text that stands for them.

#include "ui/MainUnit.h"
#include "ui_MainForm.h"

namespace pestrel {

void TMainForm::makeAccessible() {
    for (TsuiButton* button : findChildren<TsuiButton*>())
        button->setTabStop(true);
    // The page tabs come first; only the front page's controls take the focus after them.
    QWidget* tabs = ui_->suiPageControl1->TopPanel();
    const std::vector<std::vector<QWidget*>> pages = {
        {tabs, ui_->Memo, ui_->BVirusPath, ui_->BAllVirusPath},
        {tabs, ui_->ListBoxProcess, ui_->SBProcessList, ui_->SBKillProcess},
        {tabs, ui_->ListBox, ui_->SBPestrel, ui_->SBCleanList, ui_->EADDVirusName, ui_->SBAddToList,
         ui_->suiButton1, ui_->SBAbout}};
    for (const std::vector<QWidget*>& order : pages) {
        for (std::size_t i = 1; i < order.size(); ++i)
            setTabOrder(order[i - 1], order[i]);
    }
    ui_->ListBox->setFocus(); // the list, not the tabs, has the focus when the window opens
    ui_->ListBox->setAccessibleName(ui_->Panel1->text());
    ui_->EADDVirusName->setAccessibleName(ui_->Label1->text() + QLatin1Char(' ') +
                                          ui_->Label2->text());
    ui_->ListBoxProcess->setAccessibleName(ui_->suiTabSheet2->Caption());
    ui_->Memo->setAccessibleName(ui_->suiTabSheet3->Caption());
}

} // namespace pestrel
