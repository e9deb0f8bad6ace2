#pragma once
// A read-only window of our own that shows a text file, for when the desktop has no program to
// open it with, or lines the window made.

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace pestrel {

class TTextWindow final : public QDialog {
    Q_OBJECT
public:
    explicit TTextWindow(QWidget* parent = nullptr);

    // Titles the window with the file's name and shows its text (UTF-8, or else the local
    // encoding); a file that cannot be read is said so in the window instead.
    void showFile(const std::string& path);
    // Shows `lines` under `title`.
    void showLines(const QString& title, const QStringList& lines);

private:
    QPlainTextEdit* view_;
};

} // namespace pestrel
