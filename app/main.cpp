#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Pestrel: the main window is being built."));
    placeholder.resize(360, 80);
    placeholder.show();
    return app.exec();
}
