#include "ui/TextWindow.h"

#include "base/FileBytes.h"
#include "ui/DialogButtons.h"
#include "ui/ListEntries.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <filesystem>

namespace pestrel {
namespace {

QString DecodedText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (utf8.hasError())
        text = ShownText(bytes);
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

TTextWindow::TTextWindow(QWidget* parent) : QDialog(parent), view_(new QPlainTextEdit(this)) {
    view_->setReadOnly(true);
    QDialogButtonBox* buttons = CloseButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(buttons);
    resize(640, 480);
}

void TTextWindow::showFile(const std::string& path) {
    const QString shownPath = ShownText(path);
    setWindowTitle(QFileInfo(shownPath).fileName());
    // The help file of an installed program is a link to the installed Readme.txt.
    std::error_code unresolved;
    const std::filesystem::path target = std::filesystem::canonical(path, unresolved);
    const std::optional<std::string> bytes = ReadFileBytes(unresolved ? path : target.string());
    view_->setPlainText(bytes ? DecodedText(*bytes) : tr("错误：无法读取文件%1！").arg(shownPath));
    show();
    raise();
    activateWindow();
}

void TTextWindow::showLines(const QString& title, const QStringList& lines) {
    setWindowTitle(title);
    view_->setPlainText(lines.join(QLatin1Char('\n')));
    show();
    raise();
    activateWindow();
}

} // namespace pestrel
