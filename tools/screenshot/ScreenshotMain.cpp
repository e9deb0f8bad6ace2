// Renders the main window's three pages offscreen, with a sample virus list in a temporary
// program folder, and writes them as PNG files into the folder given (docs/screenshots).

#include "platform/posix/PosixPlatform.h"
#include "ui/MainUnit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

bool SavePage(pestrel::TMainForm& form, int page, const QString& path) {
    form.findChild<QTabWidget*>("suiPageControl1")->setCurrentIndex(page);
    QApplication::processEvents();
    const bool saved = form.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "docs/screenshots";
    QDir().mkpath(output);

    QTemporaryDir root;
    const QString appFolder = root.filePath("app");
    QDir().mkpath(appFolder);
    WriteFile(appFolder + "/VirusList.txt", "evil.exe\r\nbad.dll\r\nupdater.exe\r\n");
    WriteFile(appFolder + "/Config.ini", "[RunData]\r\nFirstRun=False\r\nVersion=1.0\r\n");
    pestrel::PosixPlatform platform(root.filePath("data").toStdString(),
                                    (appFolder + "/pestrel").toStdString());

    pestrel::TMainForm form(platform);
    form.show();
    QApplication::processEvents();

    bool saved = SavePage(form, 0, output + "/main-virus-list.png");
    saved = SavePage(form, 1, output + "/main-process-list.png") && saved;
    form.findChild<QTabWidget*>("suiPageControl1")->setCurrentIndex(2);
    QMetaObject::invokeMethod(form.findChild<QWidget*>("BAllVirusPath"), "clicked");
    saved = SavePage(form, 2, output + "/main-process-paths.png") && saved;
    return saved ? 0 : 1;
}
