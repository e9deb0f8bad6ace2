// Renders the skin gallery offscreen and writes it in each of the five styles to PNG files in the
// folder given (docs/screenshots): gallery-<style>.png, the lists and checks pages as
// gallery-lists-<style>.png and gallery-checks-<style>.png, gallery-menu.png with the File menu
// dropped down in WinXP, and gallery-menu-reopened-macos.png with it dropped down again after a
// switch to MacOS.

#include "gallery/GalleryWindow.h"
#include "skin/InterfaceFont.h"
#include "skin/containers/SUISideChannel.h"
#include "skin/window/SUIForm.h"
#include "skin/window/SUIMenuBar.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>

namespace {

bool Save(const QImage& shot, const QString& path) {
    const bool saved = shot.save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// The window with the File menu dropped down. The drop-down is a window of its own: it is painted
// over the window where it shows.
QImage WithFileMenu(pestrel::gallery::TGalleryWindow& window) {
    QMenuBar* bar = window.form()->MenuBar();
    bar->setActiveAction(bar->actions().value(0));
    QApplication::processEvents();
    QImage shot = window.grab().toImage();
    if (QWidget* dropDown = QApplication::activePopupWidget()) {
        QPainter canvas(&shot);
        canvas.drawPixmap(dropDown->pos() - window.pos(), dropDown->grab());
        dropDown->close();
    }
    bar->setActiveAction(nullptr);
    QApplication::processEvents();
    return shot;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    pestrel::UseInterfaceFont();
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

    window.showPage("pagePanels");
    window.setSkin(pestrel::TsuiUIStyle::WinXP);
    saved = Save(WithFileMenu(window), output + "/gallery-menu.png") && saved;
    window.setSkin(pestrel::TsuiUIStyle::MacOS);
    saved = Save(WithFileMenu(window), output + "/gallery-menu-reopened-macos.png") && saved;
    return saved ? 0 : 1;
}
