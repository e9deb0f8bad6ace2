#include "ui/Seams.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
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

// Qt's dialog reads a filter's patterns as parted by blanks. The dialog shows the filters as
// written and its file list takes their patterns from FilterPatterns instead, each time a filter
// is chosen. Windows' own dialog reads them as written.
class StandardOpenDialog final : public OpenDialog {
public:
    QString pickFile(QWidget* parent, const QStringList& filters) override {
        QFileDialog dialog(parent);
#ifndef Q_OS_WIN
        dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(filters);
        if (auto* files = dialog.findChild<QFileSystemModel*>()) {
            const auto follow = [files](const QString& filter) {
                files->setNameFilters(FilterPatterns(filter));
            };
            QObject::connect(&dialog, &QFileDialog::filterSelected, files, follow);
            follow(dialog.selectedNameFilter());
        }
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles().value(0);
    }
};

class StandardDesktopOpener final : public DesktopOpener {
public:
    bool open(const QUrl& target) override { return QDesktopServices::openUrl(target); }
};

} // namespace

QStringList FilterPatterns(const QString& filter) {
    const qsizetype open = filter.lastIndexOf('(');
    if (open < 0 || !filter.endsWith(')'))
        return {};
    QStringList patterns =
        filter.mid(open + 1, filter.size() - open - 2)
            .split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts);
    patterns.replaceInStrings(QRegularExpression(QStringLiteral("^\\*\\.\\*$")),
                              QStringLiteral("*"));
    return patterns;
}

Seams Seams::Standard() {
    static StandardMessageBoxes boxes;
    static StandardOpenDialog openDialog;
    static StandardDesktopOpener desktop;
    return {&boxes, &openDialog, &desktop};
}

} // namespace pestrel
