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

void BM_SideChannelSlideOut(benchmark::State& state) {
    QWidget window;
    window.resize(400, 300);
    auto* channel = new TsuiSideChannel(&window);
    channel->setFullWidth(SlideWidth);
    Fill(channel);
    ShowExposed(window);
    for (auto _ : state) {
        state.PauseTiming();
        channel->pushIn(true);
        state.ResumeTiming();
        channel->popOut(false);
        while (channel->Busy()) {
            channel->slideStep();
            channel->repaint();
        }
    }
}
BENCHMARK(BM_SideChannelSlideOut);

void BM_PlainWidgetSteps(benchmark::State& state) {
    QWidget window;
    window.resize(400, 300);
    auto* panel = new QWidget(&window);
    panel->setAutoFillBackground(true);
    Fill(panel);
    ShowExposed(window);
    // The same widths as a slide-out from the bar to SlideWidth.
    std::vector<int> widths;
    for (int w = 10 + TsuiSideChannel::SlideStepWidth; w < SlideWidth;
         w += TsuiSideChannel::SlideStepWidth)
        widths.push_back(w);
    widths.push_back(SlideWidth);
    for (auto _ : state) {
        state.PauseTiming();
        panel->setGeometry(0, 0, 10, 300);
        state.ResumeTiming();
        for (int w : widths) {
            panel->setGeometry(0, 0, w, 300);
            panel->repaint();
        }
    }
}
BENCHMARK(BM_PlainWidgetSteps);

PESTREL_FIGURE("side_channel_slide_out_vs_plain_set_geometry", "BM_SideChannelSlideOut",
               "BM_PlainWidgetSteps", 2.0);

} // namespace
