// Figure of the skinned push button: one repaint of an 80 x 27 button with the pointer over it,
// against one repaint of a QPushButton of the same size in the Fusion style.

#include "bench/Figures.h"
#include "skin/buttons/SUIButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace pestrel;

// repaint() paints only once the window is exposed.
void ShowExposed(QWidget& window) {
    window.show();
    QApplication::processEvents();
}

void BM_SkinButtonRepaint(benchmark::State& state) {
    QWidget window;
    TsuiButton button(&window);
    button.setUIStyle(TsuiUIStyle::DeepBlue);
    button.setCaption(QStringLiteral("杀毒"));
    button.setGeometry(0, 0, 80, 27);
    ShowExposed(window);
    QEnterEvent enter(QPointF(40, 13), QPointF(40, 13), QPointF(40, 13));
    QApplication::sendEvent(&button, &enter);
    if (!button.MouseOver())
        state.SkipWithError("the pointer is not over the button");
    for (auto _ : state)
        button.repaint();
}
BENCHMARK(BM_SkinButtonRepaint);

void BM_FusionButtonRepaint(benchmark::State& state) {
    QWidget window;
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    QPushButton button(QStringLiteral("杀毒"), &window);
    button.setStyle(fusion.get());
    button.setGeometry(0, 0, 80, 27);
    ShowExposed(window);
    button.setAttribute(Qt::WA_UnderMouse); // hovered, as Fusion draws it under the pointer
    for (auto _ : state)
        button.repaint();
}
BENCHMARK(BM_FusionButtonRepaint);

PESTREL_FIGURE("skinned_button_repaint_vs_fusion_push_button", "BM_SkinButtonRepaint",
               "BM_FusionButtonRepaint", 3.0);

} // namespace
