// Figures of the skinned menu: dropping down a menu of 12 items until it is painted, against a
// plain menu; rebuilding a form's menu bar of 10 items after a caption change, against building
// a plain menu bar of 10 items.

#include "bench/Figures.h"
#include "skin/menus/SUIMainMenu.h"
#include "skin/window/SUIForm.h"
#include "skin/window/SUIMenuBar.h"

#include <QApplication>
#include <QMenuBar>
#include <benchmark/benchmark.h>

namespace {

using namespace pestrel;

void FillDropDown(QMenu* menu) {
    for (int i = 0; i < 12; ++i) {
        QAction* item = menu->addAction(QStringLiteral("&Item number %1").arg(i));
        if (i % 4 == 1)
            item->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_A + i)));
        if (i % 4 == 2)
            item->setCheckable(true), item->setChecked(true);
    }
}

void DropDownUntilPainted(benchmark::State& state, QMenu* dropDown) {
    for (auto _ : state) {
        dropDown->popup(QPoint(20, 20));
        dropDown->repaint();
        dropDown->hide();
    }
}

void BM_SkinMenuDropDown(benchmark::State& state) {
    TsuiMainMenu menu;
    menu.setUIStyle(TsuiUIStyle::WinXP);
    QMenu* dropDown = menu.addMenu(QStringLiteral("&File"));
    FillDropDown(dropDown);
    DropDownUntilPainted(state, dropDown);
}
BENCHMARK(BM_SkinMenuDropDown);

void BM_PlainMenuDropDown(benchmark::State& state) {
    QMenu menu;
    QMenu* dropDown = menu.addMenu(QStringLiteral("&File"));
    FillDropDown(dropDown);
    DropDownUntilPainted(state, dropDown);
}
BENCHMARK(BM_PlainMenuDropDown);

PESTREL_FIGURE("skinned_menu_drop_down_vs_plain", "BM_SkinMenuDropDown", "BM_PlainMenuDropDown",
               1.5);

void AddTopItems(QMenu& menu) {
    for (int i = 0; i < 10; ++i)
        menu.addMenu(QStringLiteral("Menu &%1").arg(i))->addAction(QStringLiteral("Item"));
}

void BM_SkinMenuBarRebuild(benchmark::State& state) {
    QWidget host;
    auto* form = new TsuiForm(&host);
    host.resize(800, 200);
    TsuiMainMenu menu;
    AddTopItems(menu);
    form->setMenu(&menu);
    host.show();
    QApplication::processEvents();
    QAction* first = menu.actions().first();
    int round = 0;
    for (auto _ : state) {
        first->setText(QStringLiteral("Menu &%1").arg(++round % 2));
        form->RebuildMenuBar();
        form->MenuBar()->repaint();
    }
    form->setMenu(nullptr);
}
BENCHMARK(BM_SkinMenuBarRebuild);

void BM_PlainMenuBarBuild(benchmark::State& state) {
    QWidget host;
    auto* bar = new QMenuBar(&host);
    bar->setNativeMenuBar(false);
    bar->setGeometry(0, 0, 800, 22);
    host.resize(800, 200);
    QMenu menu;
    AddTopItems(menu);
    host.show();
    QApplication::processEvents();
    for (auto _ : state) {
        bar->clear();
        bar->addActions(menu.actions());
        bar->repaint();
    }
}
BENCHMARK(BM_PlainMenuBarBuild);

PESTREL_FIGURE("skinned_menu_bar_rebuild_vs_plain_build", "BM_SkinMenuBarRebuild",
               "BM_PlainMenuBarBuild", 2.0);

} // namespace
