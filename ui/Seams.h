#pragma once
// The window's ways out to the person and the desktop: message boxes, the file-open dialog and
// the desktop's opener for files and addresses. The program uses the standard ones; tests hand
// in their own that answer without a person.

#include <QString>
#include <QStringList>

class QUrl;
class QWidget;

namespace pestrel {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A question box titled "Confirm" with "&Yes" (the default) and "&No" (also Escape);
    // true on "&Yes".
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // A plain box with one "OK" button and no icon.
    virtual void inform(QWidget* parent, const QString& title, const QString& text) = 0;
};

class OpenDialog {
public:
    virtual ~OpenDialog() = default;
    // The full name of the one file the person picked, or empty when cancelled. Each filter is
    // shown as written, "Name(patterns)", its patterns parted by ';' as Windows writes them.
    virtual QString pickFile(QWidget* parent, const QStringList& filters) = 0;
};

// The patterns of a filter "Name(*.a;*.b)" as the file system matches them: "*.*" stands for
// every file, as on Windows. None when the filter names no patterns in its parentheses.
QStringList FilterPatterns(const QString& filter);

class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // Hands a file, web address or mailto: address to the program the desktop associates with
    // it, without waiting for that program. False when the desktop has no program for it.
    virtual bool open(const QUrl& target) = 0;
};

struct Seams {
    MessageBoxes* boxes;
    OpenDialog* openDialog;
    DesktopOpener* desktop;

    static Seams Standard();
};

} // namespace pestrel
