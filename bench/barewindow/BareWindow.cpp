// A bare Qt window of the main window's size: the reference for the installed program's memory.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(313, 366);
    window.show();
    return app.exec();
}
