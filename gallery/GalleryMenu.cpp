#include "gallery/GalleryLog.h"
#include "gallery/GalleryPages.h"
#include "gallery/GalleryWindow.h"
#include "skin/SkinBitmaps.h"
#include "skin/menus/SUIMainMenu.h"
#include "skin/window/SUIForm.h"

#include <QActionGroup>

namespace pestrel::gallery {
namespace {

QAction* AddItem(QMenu* menu, const char* objectName, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(objectName);
    QObject::connect(item, &QAction::triggered, item, [item] { LogEvent(item, "triggered"); });
    return item;
}

QMenu* AddTopItem(TsuiMainMenu* menu, const char* objectName, const QString& caption) {
    QMenu* dropDown = menu->addMenu(caption);
    dropDown->menuAction()->setObjectName(objectName);
    return dropDown;
}

} // namespace

void CreateGalleryMenu(TGalleryWindow* window) {
    auto* menu = new TsuiMainMenu(window);

    QMenu* file = AddTopItem(menu, "menuFile", "&File");
    QAction* open = AddItem(file, "menuOpen", "&Open...");
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    open->setIcon(QIcon(QPixmap::fromImage(SkinBitmap("MAINICON"))));
    QMenu* recent = file->addMenu("&Recent");
    AddItem(recent, "menuRecentList", "virus list.txt");
    AddItem(recent, "menuRecentConfig", "config.ini");
    file->addSeparator();
    QAction* autoSave = AddItem(file, "menuAutoSave", "&Auto save");
    autoSave->setCheckable(true);
    autoSave->setChecked(true);
    AddItem(file, "menuPrint", "&Print")->setEnabled(false);
    file->addSeparator();
    QObject::connect(AddItem(file, "menuClose", "&Close"), &QAction::triggered, window,
                     &QWidget::close);

    // Chooses the style as the chooser does; the mark follows the window's style.
    QMenu* styles = AddTopItem(menu, "menuStyle", "&Style");
    auto* group = new QActionGroup(styles);
    for (const QString& name : StyleNames()) {
        QAction* item = AddItem(styles, qPrintable("menuStyle" + name), name);
        item->setCheckable(true);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, window,
                         [window, name] { window->setSkin(*StyleFromName(name)); });
    }
    QObject::connect(styles, &QMenu::aboutToShow, styles, [window, styles] {
        const int chosen = static_cast<int>(window->form()->UIStyle()) - 1;
        for (int i = 0; i < styles->actions().size(); ++i)
            styles->actions()[i]->setChecked(i == chosen);
    });

    QMenu* help = AddTopItem(menu, "menuHelp", "&Help");
    AddItem(help, "menuAbout", "&About the gallery");
}

} // namespace pestrel::gallery
