#include "skin/framed/SUICheckListBox.h"
#include "skin/framed/SUIEdit.h"
#include "skin/framed/SUIListBox.h"
#include "skin/framed/SUIListView.h"
#include "skin/framed/SUIMemo.h"
#include "skin/framed/SUITreeView.h"
#include "skin/window/SUIForm.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace pestrel {
namespace {

// The six framed controls, made on `owner` and read through one face.
struct Framed {
    QWidget* widget;
    std::function<TColor()> border;
    std::function<void(TColor)> setBorder;
};

template <class T> Framed Make(QWidget* owner, int x) {
    auto* control = new T(owner);
    control->setGeometry(x, 40, 60, 50);
    return {control, [control] { return control->BorderColor(); },
            [control](TColor c) { control->setBorderColor(c); }};
}

std::vector<Framed> MakeAll(QWidget* owner) {
    return {Make<TsuiListBox>(owner, 0),    Make<TsuiMemo>(owner, 70),
            Make<TsuiEdit>(owner, 140),     Make<TsuiCheckListBox>(owner, 210),
            Make<TsuiListView>(owner, 280), Make<TsuiTreeView>(owner, 350)};
}

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

// The outer line on the control's edge, the control's own colour one pixel inside.
void ExpectFrame(const QImage& shown, const QRect& at, TColor outer, TColor inner,
                 const char* name) {
    for (int y = at.top() + 2; y < at.bottom() - 1; y += 6) {
        ASSERT_EQ(shown.pixel(at.left(), y), Rgb(outer)) << name << " y " << y;
        ASSERT_EQ(shown.pixel(at.right(), y), Rgb(outer)) << name << " y " << y;
        ASSERT_EQ(shown.pixel(at.left() + 1, y), Rgb(inner)) << name << " y " << y;
    }
    for (int x = at.left(); x <= at.right(); x += 5) {
        ASSERT_EQ(shown.pixel(x, at.top()), Rgb(outer)) << name << " x " << x;
        ASSERT_EQ(shown.pixel(x, at.bottom()), Rgb(outer)) << name << " x " << x;
    }
}

TEST(FramedControls, FramePixelsFollowTheFormStyleAndTheStyleWalk) {
    const struct {
        std::optional<TsuiUIStyle> created; // no skinned form when empty
        TColor expected;
        std::optional<TsuiUIStyle> restyled;
        TColor afterWalk;
    } cases[] = {
        {TsuiUIStyle::WinXP, 0x00686868, TsuiUIStyle::MacOS, 0x007F7F7F},
        {TsuiUIStyle::MacOS, 0x007F7F7F, TsuiUIStyle::WinXP, 0x00686868},
        {TsuiUIStyle::DeepBlue, 0, TsuiUIStyle::MacOS, 0x007F7F7F},
        {TsuiUIStyle::Protein, 0, TsuiUIStyle::BlueGlass, 0},
        {TsuiUIStyle::BlueGlass, 0, TsuiUIStyle::WinXP, 0x00686868},
        {std::nullopt, 0, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        QWidget host;
        TsuiForm* form = nullptr;
        if (c.created) {
            form = new TsuiForm(&host);
            form->setUIStyle(*c.created);
        }
        const std::vector<Framed> controls = MakeAll(form ? static_cast<QWidget*>(form) : &host);
        host.resize(450, 160);
        for (const Framed& f : controls) {
            const char* name = f.widget->metaObject()->className();
            EXPECT_EQ(f.border(), c.expected) << name;
            const TColor inner = ColorToRGB(clWindow);
            ExpectFrame(f.widget->grab().toImage(), f.widget->rect(), c.expected, inner, name);
        }
        if (!form)
            continue;
        form->setUIStyle(*c.restyled);
        for (const Framed& f : controls)
            EXPECT_EQ(f.border(), c.afterWalk) << f.widget->metaObject()->className();
    }
}

TEST(FramedControls, ABorderColorRepaintsWithTheControlsOwnColorInside) {
    QWidget host;
    for (const Framed& f : MakeAll(&host)) {
        QPalette palette = f.widget->palette();
        palette.setColor(QPalette::Base, QColor(0x20, 0x40, 0x60));
        f.widget->setPalette(palette);
        f.setBorder(clRed);
        ExpectFrame(f.widget->grab().toImage(), f.widget->rect(), clRed, 0x00604020,
                    f.widget->metaObject()->className());
    }
}

TEST(FramedControls, TheCheckListBoxKeepsItsSinglePixelMargin) {
    TsuiCheckListBox box;
    box.setBorderWidth(5);
    box.setBorderStyle(TsuiCheckListBox::bsNone);
    EXPECT_EQ(box.BorderWidth(), 1);
    EXPECT_EQ(box.BorderStyle(), TsuiCheckListBox::bsSingle);
    EXPECT_EQ(box.contentsRect(), box.rect().adjusted(1, 1, -1, -1));
    TsuiListBox list;
    EXPECT_EQ(list.contentsRect(), list.rect().adjusted(2, 2, -2, -2));
}

// Scrolling moves the viewport's pixels within the window's own surface; the frame round it
// must still be there on screen, not just in a fresh rendering.
TEST(FramedControls, TheFrameStaysOnScreenAfterAScroll) {
    QWidget host;
    host.resize(200, 200);
    auto* list = new TsuiListBox(&host);
    list->setGeometry(10, 10, 150, 150);
    list->setBorderColor(clRed);
    for (int i = 0; i < 300; ++i)
        list->addItem(QStringLiteral("item %1").arg(i));
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->pageStep());
    QApplication::processEvents();
    const QImage shown = host.screen()->grabWindow(host.winId()).toImage();
    ExpectFrame(shown, list->geometry(), clRed, clWhite, "after a scroll");
}

} // namespace
} // namespace pestrel
