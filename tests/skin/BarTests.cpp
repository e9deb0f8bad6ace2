#include "skin/SkinBitmaps.h"
#include "skin/bars/SUIProgressBar.h"
#include "skin/bars/SUIToolBar.h"
#include "skin/bars/SUITrackBar.h"
#include "skin/containers/SUIImagePanel.h"

#include <QAction>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <climits>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

const QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255);

QImage Solid(QRgb color, int w = 3, int h = 10) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A Custom bar without caption: red picture, green unfilled part, blue frame.
void MakePlain(TsuiProgressBar& bar) {
    bar.setUIStyle(TsuiUIStyle::Custom);
    bar.setShowCaption(false);
    bar.setPicture(Solid(Red));
    bar.setColor(0x0000FF00);
    bar.setBorderColor(0x00FF0000);
}

// --- progress arithmetic -------------------------------------------------------------------------

TEST(ProgressArithmetic, PercentAndFilledLength) {
    struct Case {
        int min, max, position, length;
        std::int64_t percent;
        int filled;
    } cases[] = {
        {0, 100, 50, 149, 50, 74},
        {0, 100, 0, 149, 0, 0},
        {0, 100, 150, 149, 150, 149},
        {10, 10, 10, 149, 0, 0},
        {0, 3, 1, 149, 33, 49},
        {0, 100, -50, 149, -50, 0},
        {20, 10, 15, 149, 50, 0}, // Min > Max: empty bar
        {INT_MIN, INT_MAX, INT_MAX, 149, 100, 149},
        {0, INT_MAX, INT_MAX / 2, 1000, 49, 499},
        {0, 1, INT_MAX, 149, std::int64_t{INT_MAX} * 100, 149},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressPercent(c.min, c.max, c.position), c.percent)
            << c.min << ".." << c.max << " at " << c.position;
        EXPECT_EQ(ProgressFilledLength(c.length, c.min, c.max, c.position), c.filled)
            << c.min << ".." << c.max << " at " << c.position;
    }
}

// --- progress bar --------------------------------------------------------------------------------

TEST(ProgressBar, NewBarAndItsFixedThickness) {
    TsuiProgressBar bar;
    EXPECT_EQ(bar.size(), QSize(150, 12));
    EXPECT_EQ(bar.Caption(), "50%");
    EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::DeepBlue);
    bar.resize(150, 20);
    EXPECT_EQ(bar.size(), QSize(150, 12));
    bar.setOrientation(TsuiProgressBarOrientation::suiVertical);
    EXPECT_EQ(bar.size(), QSize(12, 150));
    bar.resize(20, 200);
    EXPECT_EQ(bar.size(), QSize(12, 200));
    bar.setMin(10);
    bar.setMax(10);
    EXPECT_EQ(bar.Caption(), "0%");
}

// Where the red picture ends and the green rest begins, along the bar; the frame stays blue
// whatever the position.
TEST(ProgressBar, FillEndsWhereTheArithmeticSaysAndNeverCrossesTheFrame) {
    struct Case {
        TsuiProgressBarOrientation orientation;
        int position;
        int lastRed;    // -1: no red at all
        int firstGreen; // -1: no green at all
    } cases[] = {
        {TsuiProgressBarOrientation::suiHorizontal, 50, 73, 74},
        {TsuiProgressBarOrientation::suiHorizontal, 0, -1, 1},
        {TsuiProgressBarOrientation::suiHorizontal, 1000, 148, -1},
        {TsuiProgressBarOrientation::suiHorizontal, -1000, -1, 1},
        // vertical, filled from the bottom: the coordinate is the row
        {TsuiProgressBarOrientation::suiVertical, 50, 75, 74},
        {TsuiProgressBarOrientation::suiVertical, 1000, 1, -1},
        {TsuiProgressBarOrientation::suiVertical, -1000, -1, 148},
    };
    for (const Case& c : cases) {
        TsuiProgressBar bar;
        bar.setOrientation(c.orientation);
        MakePlain(bar);
        bar.setPosition(c.position);
        const QImage image = bar.grab().toImage();
        const bool horizontal = c.orientation == TsuiProgressBarOrientation::suiHorizontal;
        auto at = [&](int along) {
            return (horizontal ? image.pixel(along, 5) : image.pixel(5, along)) | 0xFF000000;
        };
        const int last = (horizontal ? image.width() : image.height()) - 1;
        SCOPED_TRACE(testing::Message()
                     << (horizontal ? "horizontal " : "vertical ") << c.position);
        EXPECT_EQ(at(0), Blue);
        EXPECT_EQ(at(last), Blue);
        EXPECT_EQ(image.pixel(horizontal ? 75 : 0, horizontal ? image.height() - 1 : 75) |
                      0xFF000000,
                  Blue);
        if (c.lastRed >= 0) {
            EXPECT_EQ(at(c.lastRed), Red);
        }
        if (c.firstGreen >= 0) {
            EXPECT_EQ(at(c.firstGreen), Green);
        }
    }
}

TEST(ProgressBar, CaptionShowsUnlessHiddenAtMinOrVertical) {
    TsuiProgressBar bar;
    MakePlain(bar);
    bar.setPosition(0);
    const QImage bare = bar.grab().toImage();
    bar.setShowCaption(true);
    EXPECT_NE(bar.grab().toImage(), bare);
    bar.setSmartShowCaption(true);
    EXPECT_EQ(bar.grab().toImage(), bare);

    bar.setSmartShowCaption(false);
    const QImage enabled = bar.grab().toImage();
    bar.setEnabled(false); // the caption is greyed, not hidden
    const QImage disabled = bar.grab().toImage();
    EXPECT_NE(disabled, enabled);
    EXPECT_NE(disabled, bare);

    bar.setOrientation(TsuiProgressBarOrientation::suiVertical);
    bar.grab();
    EXPECT_FALSE(bar.ShowCaption());
}

TEST(ProgressBar, StyleGivesPictureAndColors) {
    TsuiProgressBar bar;
    bar.setUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(bar.Picture(), LoadSkinBitmap("WINXP_PROGRESSBAR"));
    EXPECT_EQ(bar.Color(), TColor(0x00DEEBEF));
    EXPECT_EQ(bar.BorderColor(), TColor(0x00686868));
}

// --- the style walk ------------------------------------------------------------------------------

TEST(BarStyleWalk, RulesOfTheBarsAndTheImagePanelAsContainer) {
    QWidget form;
    auto* follows = new TsuiProgressBar(&form);
    auto* custom = new TsuiProgressBar(&form);
    custom->setUIStyle(TsuiUIStyle::Custom);
    auto* track = new TsuiTrackBar(&form);
    track->setUIStyle(TsuiUIStyle::Custom);
    auto* tools = new TsuiToolBar(&form);
    auto* panel = new TsuiImagePanel(&form);
    auto* inPanel = new TsuiProgressBar(panel);

    ContainerApplyUIStyle(&form, TsuiUIStyle::MacOS);
    EXPECT_EQ(follows->UIStyle(), TsuiUIStyle::MacOS);
    EXPECT_EQ(custom->UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(track->UIStyle(), TsuiUIStyle::MacOS); // restyled even from Custom
    EXPECT_EQ(tools->UIStyle(), TsuiUIStyle::MacOS);
    EXPECT_EQ(inPanel->UIStyle(), TsuiUIStyle::DeepBlue); // one level deep

    ContainerApplyUIStyleNested(&form, TsuiUIStyle::Protein);
    EXPECT_EQ(inPanel->UIStyle(), TsuiUIStyle::Protein);
}

// --- track bar -----------------------------------------------------------------------------------

TEST(TrackArithmetic, ThumbOffsetAndValueAtAPoint) {
    struct Offset {
        int length, thumb, min, max, position, expected;
    } offsets[] = {
        {200, 11, 0, 100, 50, 94},   {200, 11, 0, 100, 0, 0},
        {200, 11, 0, 100, 100, 189}, {200, 11, 0, 100, 150, 189},
        {200, 11, 0, 100, -50, 0},   {200, 11, 5, 5, 5, 0},
        {10, 11, 0, 100, 50, 0},     {200, 11, INT_MIN, INT_MAX, INT_MAX, 189},
    };
    for (const Offset& c : offsets)
        EXPECT_EQ(TrackThumbOffset(c.length, c.thumb, c.min, c.max, c.position), c.expected)
            << c.min << ".." << c.max << " at " << c.position;

    struct Value {
        int c, length, thumb, min, max, expected;
    } values[] = {
        {100, 200, 11, 0, 100, 50},
        {0, 200, 11, 0, 100, 0},
        {500, 200, 11, 0, 100, 100},
        {0, 200, 11, 10, 100, 10},
        {100, 11, 11, 10, 100, 10},
        {100, 200, 11, 7, 7, 7},
        {200, 200, 11, INT_MIN, INT_MAX, INT_MAX},
    };
    for (const Value& v : values)
        EXPECT_EQ(TrackValueAt(v.c, v.length, v.thumb, v.min, v.max), v.expected)
            << "at " << v.c << " in " << v.min << ".." << v.max;
}

TEST(TrackBar, ThumbPlacementAndClick) {
    TsuiTrackBar bar;
    bar.resize(200, 20);
    ASSERT_EQ(bar.Slider()->width(), 11);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Slider()->x(), 0);
    QSignalSpy changes(&bar, &TsuiTrackBar::OnChange);
    bar.setPosition(50);
    EXPECT_EQ(bar.Slider()->x(), 94);
    bar.setPosition(0);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, {100, 10});
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_EQ(changes.count(), 3);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, {199, 10});
    EXPECT_EQ(bar.Position(), 100);
}

TEST(TrackBar, VerticalDeepBlueRebuildsFromTheVerticalPictures) {
    TsuiTrackBar bar;
    bar.setUIStyle(TsuiUIStyle::DeepBlue);
    bar.resize(200, 20);
    bar.setOrientation(TsuiProgressBarOrientation::suiVertical);
    EXPECT_EQ(bar.width(), 18);
    EXPECT_EQ(bar.SliderImage(), LoadSkinBitmap("DEEPBLUE_TRACKBAR_SLIDER_V"));
    EXPECT_EQ(bar.BarImage(), LoadSkinBitmap("DEEPBLUE_TRACKBAR_BAR"));
    bar.resize(18, 300);
    bar.setPosition(100);
    EXPECT_EQ(bar.Slider()->y(), 300 - 11);
}

// The thumb, grabbed at its left edge, follows the pointer and stays on the track; OnChange fires
// on every move while Position still holds the value from before the move.
TEST(TrackBar, ADragFiresOnChangeBeforePositionMovesAndKeepsTheThumbOnTheTrack) {
    TsuiTrackBar bar;
    bar.resize(200, 20);
    bar.setPosition(50);
    QWidget* thumb = bar.Slider();
    std::vector<int> seen;
    QObject::connect(&bar, &TsuiTrackBar::OnChange, [&] { seen.push_back(bar.Position()); });
    auto send = [thumb](QEvent::Type type, QPoint trackPoint) {
        const QPointF local = thumb->mapFromParent(trackPoint);
        QMouseEvent event(type, local, thumb->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(thumb, &event);
    };
    send(QEvent::MouseButtonPress, {94, 10});
    EXPECT_TRUE(bar.Dragging());
    struct Step {
        int x, thumbX, position;
    } steps[] = {{150, 150, 79}, {400, 189, 100}, {-300, 0, 0}, {95, 95, 50}};
    int before = bar.Position();
    for (const Step& s : steps) {
        send(QEvent::MouseMove, {s.x, 10});
        EXPECT_EQ(thumb->x(), s.thumbX) << s.x;
        EXPECT_EQ(bar.Position(), s.position) << s.x;
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), before) << s.x;
        before = s.position;
    }
    EXPECT_EQ(seen.size(), std::size(steps));
    send(QEvent::MouseButtonRelease, {95, 10});
    EXPECT_FALSE(bar.Dragging());
}

// --- tool bar ------------------------------------------------------------------------------------

TEST(ToolBar, LookOfAButtonByState) {
    using enum TsuiToolButtonLook;
    struct Case {
        bool hot, pressed, checked;
        TsuiToolButtonLook look;
    } cases[] = {
        {true, true, false, Pressed},   {true, true, true, Pressed},  {true, false, false, Raised},
        {true, false, true, Raised},    {false, true, false, Raised}, {false, false, true, Raised},
        {false, false, false, Default},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToolButtonLook(c.hot, c.pressed, c.checked), c.look)
            << c.hot << c.pressed << c.checked;
}

TEST(ToolBar, ButtonsAreFilledWithTheStyleColors) {
    TsuiToolBar bar;
    bar.setUIStyle(TsuiUIStyle::WinXP);
    QAction* action = bar.addAction("Pin");
    action->setCheckable(true);
    auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(action));
    ASSERT_NE(button, nullptr);
    button->resize(30, 24);
    auto fill = [button] { return button->grab().toImage().pixel(3, 3) | 0xFF000000; };
    auto edge = [button] { return button->grab().toImage().pixel(0, 0) | 0xFF000000; };
    const QRgb plain = fill();

    action->setChecked(true);
    EXPECT_EQ(fill(), ColorToQColor(0x00EFD3C6).rgb());
    EXPECT_EQ(edge(), ColorToQColor(0x00C66931).rgb());
    button->setAttribute(Qt::WA_UnderMouse);
    button->setDown(true);
    EXPECT_EQ(fill(), ColorToQColor(0x00E1AC93).rgb());
    button->setDown(false);
    button->setAttribute(Qt::WA_UnderMouse, false);
    action->setChecked(false);
    EXPECT_EQ(fill(), plain);
    EXPECT_NE(plain, ColorToQColor(0x00EFD3C6).rgb());
}

TEST(ToolBar, ADisabledCheckedButtonGreysItsIcon) {
    TsuiToolBar bar;
    bar.setUIStyle(TsuiUIStyle::DeepBlue);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    QAction* action = bar.addAction(QIcon(red), "Pin");
    action->setCheckable(true);
    action->setChecked(true);
    QWidget* button = bar.widgetForAction(action);
    button->resize(30, 30);
    for (bool enabled : {true, false}) {
        bar.setEnabled(enabled);
        const QRgb middle = button->grab().toImage().pixel(button->width() / 2, 8) | 0xFF000000;
        EXPECT_EQ(middle == Red, enabled) << enabled;
    }
}

TEST(ToolBar, OnlyMacOSIsTransparent) {
    TsuiToolBar bar;
    for (TsuiUIStyle style : {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue,
                              TsuiUIStyle::Protein, TsuiUIStyle::BlueGlass}) {
        bar.setUIStyle(style);
        EXPECT_EQ(bar.Transparent(), style == TsuiUIStyle::MacOS) << static_cast<int>(style);
        EXPECT_EQ(bar.Color(), GetThemeColor(style, tiToolBarColor));
    }
    bar.setUIStyle(TsuiUIStyle::Custom);
    EXPECT_FALSE(bar.Transparent());
}

} // namespace
} // namespace pestrel
