// Figures of the check box, the check group and the combo box: one repaint of each control, and
// setting 200 items on a check group on a window, against the same work done by Qt's own widgets in
// Fusion.

#include "bench/Figures.h"
#include "skin/buttons/SUICheckBox.h"
#include "skin/containers/SUIRadioGroup.h"
#include "skin/framed/SUIComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QStyle>
#include <QStyleFactory>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace pestrel;

constexpr int ItemCount = 200;

std::unique_ptr<QStyle> Fusion() {
    return std::unique_ptr<QStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
}

// repaint() paints only once the window is exposed.
void ShowExposed(QWidget& window) {
    window.show();
    QApplication::processEvents();
}

QStringList Lines() {
    QStringList lines;
    for (int i = 0; i < ItemCount; ++i)
        lines << QStringLiteral("Item %1").arg(i);
    return lines;
}

void BM_SkinCheckBoxRepaint(benchmark::State& state) {
    QWidget window;
    TsuiCheckBox box(&window);
    box.setUIStyle(TsuiUIStyle::WinXP);
    box.setChecked(true);
    box.setCaption(QStringLiteral("Check box"));
    ShowExposed(window);
    for (auto _ : state)
        box.repaint();
}
BENCHMARK(BM_SkinCheckBoxRepaint);

void BM_FusionCheckBoxRepaint(benchmark::State& state) {
    QWidget window;
    const std::unique_ptr<QStyle> fusion = Fusion();
    QCheckBox box(QStringLiteral("Check box"), &window);
    box.setStyle(fusion.get());
    box.setChecked(true);
    box.resize(93, 17);
    ShowExposed(window);
    for (auto _ : state)
        box.repaint();
}
BENCHMARK(BM_FusionCheckBoxRepaint);

void BM_SkinCheckGroupItems(benchmark::State& state) {
    const QStringList lines = Lines();
    QWidget window;
    for (auto _ : state) {
        TsuiCheckGroup group(&window);
        group.resize(400, 20 * ItemCount / 2);
        group.setColumns(2);
        group.setItems(lines);
        benchmark::DoNotOptimize(group.boxAt(ItemCount - 1)->pos());
    }
}
BENCHMARK(BM_SkinCheckGroupItems);

void BM_GridCheckBoxItems(benchmark::State& state) {
    const QStringList lines = Lines();
    const std::unique_ptr<QStyle> fusion = Fusion();
    QWidget window;
    for (auto _ : state) {
        QWidget group(&window);
        group.setStyle(fusion.get());
        group.resize(400, 20 * ItemCount / 2);
        auto* grid = new QGridLayout(&group);
        const int rows = ItemCount / 2;
        for (int i = 0; i < ItemCount; ++i)
            grid->addWidget(new QCheckBox(lines[i], &group), i % rows, i / rows);
        grid->activate();
        benchmark::DoNotOptimize(grid->itemAt(ItemCount - 1)->geometry());
    }
}
BENCHMARK(BM_GridCheckBoxItems);

void BM_SkinComboBoxRepaint(benchmark::State& state) {
    QWidget window;
    const std::unique_ptr<QStyle> fusion = Fusion();
    TsuiComboBox combo(&window);
    combo.setStyle(fusion.get());
    combo.setUIStyle(TsuiUIStyle::WinXP);
    combo.addItems({QStringLiteral("One"), QStringLiteral("Two")});
    combo.resize(120, 24);
    ShowExposed(window);
    for (auto _ : state)
        combo.repaint();
}
BENCHMARK(BM_SkinComboBoxRepaint);

void BM_FusionComboBoxRepaint(benchmark::State& state) {
    QWidget window;
    const std::unique_ptr<QStyle> fusion = Fusion();
    QComboBox combo(&window);
    combo.setStyle(fusion.get());
    combo.addItems({QStringLiteral("One"), QStringLiteral("Two")});
    combo.resize(120, 24);
    ShowExposed(window);
    for (auto _ : state)
        combo.repaint();
}
BENCHMARK(BM_FusionComboBoxRepaint);

PESTREL_FIGURE("skinned_check_box_repaint_vs_fusion_check_box", "BM_SkinCheckBoxRepaint",
               "BM_FusionCheckBoxRepaint", 1.5);
PESTREL_FIGURE("check_group_200_items_vs_200_check_boxes_in_a_grid", "BM_SkinCheckGroupItems",
               "BM_GridCheckBoxItems", 1.5);
PESTREL_FIGURE("skinned_combo_box_repaint_vs_fusion_combo_box", "BM_SkinComboBoxRepaint",
               "BM_FusionComboBoxRepaint", 1.5);

} // namespace
