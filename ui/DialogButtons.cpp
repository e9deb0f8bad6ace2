#include "ui/DialogButtons.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace pestrel {

QDialogButtonBox* CloseButtons(QDialog* window) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    buttons->button(QDialogButtonBox::Close)
        ->setText(QCoreApplication::translate("pestrel::DialogButtons", "关闭"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::reject);
    return buttons;
}

} // namespace pestrel
