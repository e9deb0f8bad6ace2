// A bare Qt window of the main window's size: the reference for the installed program's memory.
// With --text it shows one line of the program's Chinese text, in Qt's default font or, with
// --family NAME, in that face (the program's interface face), so that the figures tell what
// drawing that text costs. With --controls it also holds the standard Qt controls the main window
// holds (BareControls.h).

#include "BareControls.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--family"));
        at >= 0 && at + 1 < arguments.size()) {
        QFont font = QApplication::font();
        font.setFamilies({arguments.at(at + 1)});
        QApplication::setFont(font);
    }
    QWidget window;
    pestrel::bench::MakeBareWindow(window, arguments.contains(QStringLiteral("--text")),
                                   arguments.contains(QStringLiteral("--controls")));
    window.show();
    return app.exec();
}
