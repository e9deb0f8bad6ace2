// Figures of the bars and the gallery: one repaint of a progress bar at 50 % and one step of a
// track bar, each against the Fusion control of the same size; and switching the whole gallery
// between two styles against showing it the first time.

#include "bench/Figures.h"
#include "gallery/GalleryWindow.h"
#include "skin/bars/SUIProgressBar.h"
#include "skin/bars/SUITrackBar.h"

#include <QApplication>
#include <QProgressBar>
#include <QSlider>
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

std::unique_ptr<QStyle> Fusion() {
    return std::unique_ptr<QStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
}

void BM_SkinProgressBarRepaint(benchmark::State& state) {
    QWidget window;
    TsuiProgressBar bar(&window);
    bar.setUIStyle(TsuiUIStyle::WinXP);
    bar.setGeometry(0, 0, 150, 12);
    ShowExposed(window);
    for (auto _ : state)
        bar.repaint();
}
BENCHMARK(BM_SkinProgressBarRepaint);

void BM_FusionProgressBarRepaint(benchmark::State& state) {
    QWidget window;
    const std::unique_ptr<QStyle> fusion = Fusion();
    QProgressBar bar(&window);
    bar.setStyle(fusion.get());
    bar.setValue(50);
    bar.setGeometry(0, 0, 150, 12);
    ShowExposed(window);
    for (auto _ : state)
        bar.repaint();
}
BENCHMARK(BM_FusionProgressBarRepaint);

PESTREL_FIGURE("skinned_progress_bar_repaint_vs_fusion", "BM_SkinProgressBarRepaint",
               "BM_FusionProgressBarRepaint", 1.5);

void BM_SkinTrackBarStep(benchmark::State& state) {
    QWidget window;
    TsuiTrackBar bar(&window);
    bar.setUIStyle(TsuiUIStyle::WinXP);
    bar.setGeometry(0, 0, 200, 21);
    ShowExposed(window);
    int step = 0;
    for (auto _ : state) {
        bar.setPosition(40 + (++step & 1));
        bar.repaint();
    }
}
BENCHMARK(BM_SkinTrackBarStep);

void BM_FusionSliderStep(benchmark::State& state) {
    QWidget window;
    const std::unique_ptr<QStyle> fusion = Fusion();
    QSlider slider(Qt::Horizontal, &window);
    slider.setStyle(fusion.get());
    slider.setRange(0, 100);
    slider.setGeometry(0, 0, 200, 21);
    ShowExposed(window);
    int step = 0;
    for (auto _ : state) {
        slider.setValue(40 + (++step & 1));
        slider.repaint();
    }
}
BENCHMARK(BM_FusionSliderStep);

PESTREL_FIGURE("skinned_track_bar_step_vs_fusion_slider", "BM_SkinTrackBarStep",
               "BM_FusionSliderStep", 1.5);

// Both end when the window has painted itself (on showing it, or after the switch).
void BM_GalleryFirstShow(benchmark::State& state) {
    for (auto _ : state) {
        gallery::TGalleryWindow window(TsuiUIStyle::WinXP);
        window.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_GalleryFirstShow)->Unit(benchmark::kMillisecond);

void BM_GalleryStyleSwitch(benchmark::State& state) {
    gallery::TGalleryWindow window(TsuiUIStyle::WinXP);
    ShowExposed(window);
    bool mac = false;
    for (auto _ : state) {
        mac = !mac;
        window.setSkin(mac ? TsuiUIStyle::MacOS : TsuiUIStyle::WinXP);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_GalleryStyleSwitch)->Unit(benchmark::kMillisecond);

PESTREL_FIGURE("gallery_style_switch_vs_first_show", "BM_GalleryStyleSwitch", "BM_GalleryFirstShow",
               0.5);

} // namespace
