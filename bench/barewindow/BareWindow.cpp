// A bare Qt window of the main window's size: the reference for the installed program's memory.
// With --text it shows one line of the program's Chinese text, in Qt's default font or, with
// --family NAME, in that face (the program's interface face), so that the figures tell what
// drawing that text costs.

#include <QApplication>
#include <QLabel>
#include <QWidget>

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
    window.resize(313, 366);
    if (arguments.contains(QStringLiteral("--text")))
        new QLabel(QStringLiteral("请先点击\"进程路径\"->\"所有进程路径\",将可疑进程添加到列表中."),
                   &window);
    window.show();
    return app.exec();
}
