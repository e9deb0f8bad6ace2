// Renders the skin gallery offscreen and writes it in each of the five styles to PNG files in the
// folder given (docs/screenshots): gallery-<style>.png, and the lists and checks pages as
// gallery-lists-<style>.png and gallery-checks-<style>.png.

#include "gallery/GalleryWindow.h"
#include "skin/containers/SUISideChannel.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "docs/screenshots";
    QDir().mkpath(output);

    pestrel::gallery::TGalleryWindow window;
    window.show();
    bool saved = true;
    for (const QString& name : pestrel::gallery::StyleNames()) {
        window.setSkin(*pestrel::gallery::StyleFromName(name));
        QApplication::processEvents();
        const QString path = output + "/gallery-" + name.toLower() + ".png";
        const bool ok = window.grab().save(path);
        std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
        saved = saved && ok;
    }
    // The lists page, its side channel out in every other style.
    window.showPage("pageLists");
    auto* channel = window.findChild<pestrel::TsuiSideChannel*>("sideChannel1");
    bool out = true;
    for (const QString& name : pestrel::gallery::StyleNames()) {
        window.setSkin(*pestrel::gallery::StyleFromName(name));
        if (channel)
            out ? channel->popOut(true) : channel->pushIn(true);
        out = !out;
        QApplication::processEvents();
        const QString path = output + "/gallery-lists-" + name.toLower() + ".png";
        const bool ok = window.grab().save(path);
        std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
        saved = saved && ok;
    }
    window.showPage("pageChecks");
    for (const QString& name : pestrel::gallery::StyleNames()) {
        window.setSkin(*pestrel::gallery::StyleFromName(name));
        QApplication::processEvents();
        const QString path = output + "/gallery-checks-" + name.toLower() + ".png";
        const bool ok = window.grab().save(path);
        std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
        saved = saved && ok;
    }
    return saved ? 0 : 1;
}
