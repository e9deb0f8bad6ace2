// Figures of the skin engine core: the corner-keeping stretch against one plain scaled draw, and a
// cached skin bitmap load (the accessor the controls paint with) against a load that decodes.

#include "bench/Figures.h"
#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"

#include <benchmark/benchmark.h>

namespace {

using namespace pestrel;

const QString ButtonName = QStringLiteral("DEEPBLUE_BUTTON_NORMAL"); // 74 x 21

void BM_DrawSkinStretched(benchmark::State& state) {
    const QImage source = SkinBitmap(ButtonName);
    QImage canvas(80, 27, QImage::Format_RGB32);
    QPainter painter(&canvas);
    for (auto _ : state) {
        DrawSkinStretched(source, painter, {0, 0, 80, 27}, false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawSkinStretched);

void BM_DrawImageScaled(benchmark::State& state) {
    const QImage source = SkinBitmap(ButtonName);
    QImage canvas(80, 27, QImage::Format_RGB32);
    QPainter painter(&canvas);
    for (auto _ : state) {
        painter.drawImage(QRect(0, 0, 80, 27), source);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawImageScaled);

PESTREL_FIGURE("skin_stretch_vs_scaled_draw", "BM_DrawSkinStretched", "BM_DrawImageScaled", 3.0);

// Every iteration empties the cache first, so each load decodes the resource.
void BM_LoadSkinBitmapUncached(benchmark::State& state) {
    for (auto _ : state) {
        ClearSkinBitmapCache();
        benchmark::DoNotOptimize(SkinBitmap(ButtonName));
    }
}
BENCHMARK(BM_LoadSkinBitmapUncached);

void BM_LoadSkinBitmapCached(benchmark::State& state) {
    ClearSkinBitmapCache();
    for (int i = 0; i < 99; ++i)
        SkinBitmap(ButtonName);
    for (auto _ : state)
        benchmark::DoNotOptimize(SkinBitmap(ButtonName));
}
BENCHMARK(BM_LoadSkinBitmapCached);

PESTREL_FIGURE("skin_bitmap_100th_load_vs_first", "BM_LoadSkinBitmapCached",
               "BM_LoadSkinBitmapUncached", 0.2);

} // namespace
