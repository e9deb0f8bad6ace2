// Writes every skin picture to <resources>/skins/<NAME>.bmp (the program icon as MAINICON.png,
// which keeps its transparency), the resource list <resources>/skins.qrc, and the desktop icon
// at every installed size as <resources>/icons/<N>.png.

#include "Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    if (!resources.mkpath("skins")) {
        std::fprintf(stderr, "cannot create %s/skins\n", argv[1]);
        return 1;
    }
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = QString("icons/%1.png").arg(size);
        if (!resources.mkpath("icons") ||
            !skingen::ProgramIcon(size).save(resources.filePath(file), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    QByteArray qrc = "<RCC>\n    <qresource prefix=\"/skins\">\n";
    for (const skingen::Picture& picture : skingen::AllPictures()) {
        const bool icon = picture.image.hasAlphaChannel();
        const QString file = "skins/" + picture.name + (icon ? ".png" : ".bmp");
        const QImage image =
            icon ? picture.image : picture.image.convertToFormat(QImage::Format_RGB888);
        if (!image.save(resources.filePath(file), icon ? "PNG" : "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        qrc += "        <file alias=\"" + picture.name.toLatin1() + "\">" + file.toLatin1() +
               "</file>\n";
    }
    qrc += "    </qresource>\n</RCC>\n";
    QSaveFile list(resources.filePath("skins.qrc"));
    if (!list.open(QIODevice::WriteOnly) || list.write(qrc) != qrc.size() || !list.commit()) {
        std::fprintf(stderr, "cannot write skins.qrc\n");
        return 1;
    }
    return 0;
}
