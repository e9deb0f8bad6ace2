#include "ui/Seams.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace pestrel {
namespace {

class StandardMessageBoxes final : public MessageBoxes {
public:
    bool confirm(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                        QMessageBox::NoButton, parent);
        QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }

    void inform(QWidget* parent, const QString& title, const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
    }
};

class StandardOpenDialog final : public OpenDialog {
public:
    QString pickFile(QWidget* parent, const QStringList& filters) override {
        return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                            filters.join(QStringLiteral(";;")));
    }
};

class StandardDesktopOpener final : public DesktopOpener {
public:
    bool open(const QUrl& target) override { return QDesktopServices::openUrl(target); }
};

} // namespace

Seams Seams::Standard() {
    static StandardMessageBoxes boxes;
    static StandardOpenDialog openDialog;
    static StandardDesktopOpener desktop;
    return {&boxes, &openDialog, &desktop};
}

} // namespace pestrel
