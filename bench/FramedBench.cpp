// Figures of the framed controls and the side channel. Scrolling a framed list box of 10,000
// items by one page and repainting, against the same on a plain QListWidget: the frame lies
// outside the viewport, so it should cost next to nothing. A whole slide-out of the side channel,
// every step repainted, against as many setGeometry calls and repaints on a plain widget holding
// the same content.

#include "bench/Figures.h"
#include "skin/containers/SUISideChannel.h"
#include "skin/framed/SUIListBox.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <functional>
#include <vector>

namespace {

using namespace pestrel;

constexpr int ItemCount = 10000;
constexpr int SlideWidth = 200;

void ShowExposed(QWidget& window) {
    window.show();
    QApplication::processEvents();
}

template <class List> void ScrollByAPage(benchmark::State& state) {
    QWidget window;
    window.resize(220, 320);
    auto* list = new List(&window);
    list->setGeometry(10, 10, 200, 300);
    for (int i = 0; i < ItemCount; ++i)
        list->addItem(QStringLiteral("evil%1.exe").arg(i));
    ShowExposed(window);
    QScrollBar* bar = list->verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        window.repaint();
    }
}

void BM_FramedListBoxScroll(benchmark::State& state) {
    ScrollByAPage<TsuiListBox>(state);
}
BENCHMARK(BM_FramedListBoxScroll);

void BM_PlainListWidgetScroll(benchmark::State& state) {
    ScrollByAPage<QListWidget>(state);
}
BENCHMARK(BM_PlainListWidgetScroll);

PESTREL_FIGURE("framed_list_box_page_scroll_vs_plain_list", "BM_FramedListBoxScroll",
               "BM_PlainListWidgetScroll", 1.2);

// The content both panels hold.
void Fill(QWidget* panel) {
    (new QLabel(QStringLiteral("Tools"), panel))->setGeometry(20, 20, 120, 16);
    (new QPushButton(QStringLiteral("Scan"), panel))->setGeometry(20, 40, 80, 24);
    (new QPushButton(QStringLiteral("Stop"), panel))->setGeometry(20, 70, 80, 24);
}

// One whole slide-out from the bar, every step repainted.
double SlideOutSeconds(TsuiSideChannel& channel) {
    channel.pushIn(true);
    return pestrel::bench::SecondsOf([&] {
        channel.popOut(false);
        while (channel.Busy()) {
            channel.slideStep();
            channel.repaint();
        }
    });
}

// The same widths as a slide-out from the bar to SlideWidth, set and repainted on a plain widget.
double PlainStepsSeconds(QWidget& panel) {
    std::vector<int> widths;
    for (int w = 10 + TsuiSideChannel::SlideStepWidth; w < SlideWidth;
         w += TsuiSideChannel::SlideStepWidth)
        widths.push_back(w);
    widths.push_back(SlideWidth);
    panel.setGeometry(0, 0, 10, 300);
    return pestrel::bench::SecondsOf([&] {
        for (int w : widths) {
            panel.setGeometry(0, 0, w, 300);
            panel.repaint();
        }
    });
}

// A slide-out takes about a millisecond, so each sample sums many of them, and the samples of
// both sides alternate, round after round, so that other work on the machine weighs on both.
void BM_SideChannelFigure(benchmark::State& state) {
    constexpr int kSlidesPerSample = 25, kRounds = 41;
    QWidget sliding, plain;
    for (QWidget* window : {&sliding, &plain})
        window->resize(400, 300);
    auto* channel = new TsuiSideChannel(&sliding);
    channel->setFullWidth(SlideWidth);
    Fill(channel);
    auto* panel = new QWidget(&plain);
    panel->setAutoFillBackground(true);
    Fill(panel);
    ShowExposed(sliding);
    ShowExposed(plain);
    const auto sample = [](const std::function<double()>& slide) {
        double seconds = 0;
        for (int i = 0; i < kSlidesPerSample; ++i)
            seconds += slide();
        return seconds;
    };
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "side_channel_slide_out_vs_plain_set_geometry", 2.0, kRounds,
            [&] { return sample([&] { return SlideOutSeconds(*channel); }); },
            [&] { return sample([&] { return PlainStepsSeconds(*panel); }); });
    }
}
BENCHMARK(BM_SideChannelFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
