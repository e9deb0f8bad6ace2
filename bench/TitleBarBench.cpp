// Figure of the skinned window frame: one repaint of the WinXP title bar at the main window's
// width, its bold caption in the program's interface face, against one repaint of a skinned push
// button.

#include "bench/Figures.h"
#include "skin/InterfaceFont.h"
#include "skin/window/SUITitleBar.h"

#include <QApplication>
#include <QFontDatabase>
#include <benchmark/benchmark.h>

namespace {

using namespace pestrel;

void BM_TitleBarRepaint(benchmark::State& state) {
    QWidget window;
    window.resize(313, 100);
    TsuiTitleBar bar(&window);
    bar.setUIStyle(TsuiUIStyle::WinXP);
    bar.setCaption(QStringLiteral("Pestrel"));
    QFont caption = bar.font();
    caption.setFamilies(
        {ChooseInterfaceFamily(QFontDatabase::families(QFontDatabase::SimplifiedChinese))});
    bar.setFont(caption);
    window.show();
    QApplication::processEvents(); // until the window is exposed, a repaint paints nothing
    for (auto _ : state)
        bar.repaint();
    state.counters["width"] = bar.width();
}
BENCHMARK(BM_TitleBarRepaint);

PESTREL_FIGURE("title_bar_repaint_vs_skinned_button", "BM_TitleBarRepaint", "BM_SkinButtonRepaint",
               3.0);

} // namespace
