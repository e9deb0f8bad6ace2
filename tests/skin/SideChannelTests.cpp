#include "skin/buttons/SUIButton.h"
#include "skin/containers/SUISideChannel.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

class SideChannel : public ::testing::Test {
protected:
    SideChannel() {
        window.resize(400, 300);
        channel = new TsuiSideChannel(&window);
        channel->setFullWidth(200);
        channel->setCaption(QStringLiteral("Tools"));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    // Drives the slide timer by hand and records each width it passes.
    std::vector<int> slide() {
        std::vector<int> widths;
        while (channel->Busy()) {
            channel->slideStep();
            widths.push_back(channel->width());
        }
        EXPECT_FALSE(channel->slideTimer()->isActive());
        return widths;
    }
    QPoint globalAt(int x, int y) const { return channel->mapToGlobal(QPoint(x, y)); }
    void hover(QWidget* part) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), part->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(part, &enter);
    }

    QWidget window;
    TsuiSideChannel* channel;
};

TEST_F(SideChannel, StartsAsABarWithTheWidthItWasCreatedWithAsItsExpandedWidth) {
    QWidget parent;
    TsuiSideChannel fresh(&parent);
    EXPECT_EQ(fresh.width(), 10);
    EXPECT_EQ(fresh.FullWidth(), 100); // a child widget's width when made
    EXPECT_TRUE(fresh.isIn());
    EXPECT_TRUE(fresh.PinButton()->isHidden());
}

TEST_F(SideChannel, SlidesInFifteenPixelStepsOrJumpsWithQuickMove) {
    QSignalSpy out(channel, &TsuiSideChannel::poppedOut), in(channel, &TsuiSideChannel::pushedIn);
    std::vector<int> outSteps, inSteps;
    for (int w = 25; w <= 190; w += 15)
        outSteps.push_back(w);
    for (int w = 185; w > 10; w -= 15) // 185 .. 20
        inSteps.push_back(w);
    outSteps.push_back(200);
    inSteps.push_back(10);

    channel->popOut(false);
    EXPECT_EQ(slide(), outSteps);
    EXPECT_EQ(channel->TitlePanel()->text(), "Tools");
    EXPECT_TRUE(channel->HideTimer()->isActive());
    channel->pushIn(false);
    EXPECT_EQ(slide(), inSteps);
    EXPECT_EQ(channel->TitlePanel()->text(), "");
    EXPECT_EQ(out.count(), 1);
    EXPECT_EQ(in.count(), 1);

    channel->popOut(true);
    EXPECT_FALSE(channel->Busy());
    EXPECT_EQ(channel->width(), 200);
    channel->popOut(true); // already out
    channel->pushIn(true);
    channel->pushIn(false); // already in
    EXPECT_FALSE(channel->Busy());
    EXPECT_EQ(channel->width(), 10);
    EXPECT_EQ(out.count(), 2);
    EXPECT_EQ(in.count(), 2);
}

TEST_F(SideChannel, ARequestDuringASlideGoesOnOrTurnsRoundWithoutRestarting) {
    QSignalSpy out(channel, &TsuiSideChannel::poppedOut), in(channel, &TsuiSideChannel::pushedIn);
    channel->popOut(false);
    channel->slideStep();
    channel->slideStep();
    hover(channel->SideBar());
    channel->popOut(false);
    EXPECT_EQ(channel->width(), 40);
    channel->pushIn(false);
    EXPECT_EQ(slide(), (std::vector<int>{25, 10}));
    EXPECT_EQ(out.count(), 0);
    EXPECT_EQ(in.count(), 1);
}

TEST_F(SideChannel, PopsOutOnHoverOrOnClickAsThePopupModeSays) {
    const struct {
        TsuiSideChannel::TsuiSideChannelPopupMode mode;
        bool hovered, clicked;
        bool out;
    } cases[] = {
        {TsuiSideChannel::suiMouseOn, true, false, true},
        {TsuiSideChannel::suiMouseOn, false, true, false},
        {TsuiSideChannel::suiMouseClick, true, false, false},
        {TsuiSideChannel::suiMouseClick, false, true, true},
    };
    channel->setQuickMove(true);
    for (const auto& c : cases) {
        channel->pushIn(true);
        channel->setPopupMode(c.mode);
        if (c.hovered)
            hover(channel->BarButton());
        if (c.clicked)
            QTest::mouseClick(channel->SideBar(), Qt::LeftButton, {}, QPoint(3, 180));
        EXPECT_EQ(channel->width(), c.out ? 200 : 10) << c.mode << c.hovered;
    }
}

TEST_F(SideChannel, TheHideTimerPushesInOnceThePointerIsOutsideUnlessPinned) {
    channel->setQuickMove(true); // each push-in lands at once
    channel->popOut(true);
    const struct {
        QPoint pointer;
        bool stays;
    } ticks[] = {
        {globalAt(100, 100), true},  {globalAt(199, 299), true},  {globalAt(0, 100), false},
        {globalAt(200, 100), false}, {globalAt(100, 300), false}, {globalAt(250, 50), false},
    };
    for (const auto& t : ticks) {
        channel->popOut(true);
        channel->hideTimerTick(t.pointer);
        EXPECT_EQ(channel->width(), t.stays ? 200 : 10) << t.pointer.x() << "," << t.pointer.y();
    }

    QSignalSpy pinned(channel, &TsuiSideChannel::stayOnChanged);
    channel->setStayOn(true);
    EXPECT_EQ(channel->width(), 200);
    EXPECT_TRUE(channel->PinButton()->isChecked());
    EXPECT_FALSE(channel->HideTimer()->isActive());
    channel->PinButton()->click(); // the user releases the pin
    EXPECT_FALSE(channel->StayOn());
    EXPECT_EQ(pinned.count(), 2);
    EXPECT_EQ(channel->width(), 10);

    channel->popOut(true);
    channel->PinButton()->click(); // pressed by the user: stays out
    EXPECT_TRUE(channel->StayOn());
    EXPECT_EQ(channel->width(), 200);
    EXPECT_FALSE(channel->HideTimer()->isActive());
    EXPECT_EQ(pinned.count(), 3);
}

// Without QuickMove the pointer leaving slides the channel in and StayOn slides it out, in
// 15-pixel steps; with it both jump. Releasing StayOn always pushes in at once.
TEST_F(SideChannel, LeavingAndStayOnSlideUnlessQuickMove) {
    for (bool quick : {false, true}) {
        channel->setQuickMove(quick);
        channel->popOut(true);
        channel->hideTimerTick(globalAt(250, 50));
        EXPECT_EQ(slide().size(), quick ? 0u : 13u) << quick;
        EXPECT_EQ(channel->width(), 10) << quick;
        channel->setStayOn(true);
        EXPECT_EQ(slide().size(), quick ? 0u : 13u) << quick;
        EXPECT_EQ(channel->width(), 200) << quick;
        channel->setStayOn(false);
        EXPECT_FALSE(channel->Busy()) << quick;
        EXPECT_EQ(channel->width(), 10) << quick;
    }
}

TEST_F(SideChannel, ResizingWhileOutSetsTheExpandedWidthAndNarrowWidthsAreRefused) {
    channel->popOut(true);
    for (int refused : {49, 10})
        channel->resize(refused, channel->height());
    EXPECT_EQ(channel->width(), 200);
    channel->resize(150, channel->height());
    EXPECT_EQ(channel->FullWidth(), 150);
    channel->pushIn(true);
    channel->popOut(true);
    EXPECT_EQ(channel->width(), 150);
    channel->resize(50, channel->height());
    EXPECT_EQ(channel->width(), 50);
}

TEST_F(SideChannel, StaysDockedToItsEdgeWhenTheParentResizes) {
    channel->setAlign(TsuiSideChannel::suiRight);
    channel->popOut(true);
    EXPECT_EQ(channel->geometry(), QRect(200, 0, 200, 300));
    window.resize(500, 250);
    EXPECT_EQ(channel->geometry(), QRect(300, 0, 200, 250));
    EXPECT_EQ(channel->PinButton()->geometry().right(), channel->TitlePanel()->width() - 1);
    channel->pushIn(true);
    EXPECT_EQ(channel->geometry(), QRect(490, 0, 10, 250));
    channel->setAlign(TsuiSideChannel::suiLeft);
    EXPECT_EQ(channel->geometry(), QRect(0, 0, 10, 250));
}

} // namespace
} // namespace pestrel
