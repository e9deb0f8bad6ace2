// The gallery's event lines as a person and a program use its page control and its checks page.

#include "gallery/GalleryWindow.h"
#include "skin/buttons/SUICheckBox.h"
#include "skin/containers/SUIGroupBox.h"
#include "skin/containers/SUIPageControl.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace pestrel::gallery {
namespace {

// The lines the gallery logs while `action` runs.
std::string LinesDuring(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

// A page set by program switches twice; a click on a tab once, also on the tab already selected.
TEST(GalleryEventLines, PageControlFiresOnTabActiveTwiceByProgramOnceByClick) {
    TGalleryWindow window(TsuiUIStyle::WinXP);
    window.show();
    TsuiPageControl* pages = window.PageControl();
    auto* strip = pages->TopPanel();
    strip->grab(); // records the tab widths that clicks hit against
    const auto click = [strip](int tab) {
        int x = strip->LeftMargin();
        for (int i = 0; i < tab; ++i)
            x += strip->TabWidth(i);
        const QPoint at(x + 5, 5);
        QTest::mousePress(strip, Qt::LeftButton, {}, at);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, at);
    };
    const struct {
        const char* what;
        std::function<void()> action;
        std::string lines;
    } cases[] = {
        {"by program", [&] { window.showPage("pageChecks"); },
         "pageControl1 OnChange pageChecks\npageControl1 OnChange pageChecks\n"},
        {"a click on another tab", [&] { click(0); }, "pageControl1 OnChange pagePanels\n"},
        {"a click on the selected tab", [&] { click(0); }, "pageControl1 OnChange pagePanels\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinesDuring(c.action), c.lines) << c.what;
}

// A release toggles only over the control: one after the pointer has gone gives the press up.
TEST(GalleryEventLines, CheckControlsToggleOnAReleaseOverThemOnly) {
    TGalleryWindow window(TsuiUIStyle::WinXP);
    window.show();
    ASSERT_TRUE(window.showPage("pageChecks"));
    const struct {
        const char* name;
        Qt::MouseButton button;
        bool releasedOver;
        std::string lines;
        bool checkedAfter;
    } cases[] = {
        {"checkBox1", Qt::LeftButton, false, "", true},
        {"checkBox1", Qt::RightButton, false, "", true},
        {"checkBox1", Qt::LeftButton, true, "checkBox1 OnClick 0\n", false},
        {"checkBox1", Qt::RightButton, true, "", true},
        {"radioButton2", Qt::LeftButton, false, "", false},
        {"radioButton2", Qt::LeftButton, true, "radioButton2 OnClick 1\n", true},
    };
    for (const auto& c : cases) {
        auto* box = window.findChild<TsuiCheckBox*>(c.name);
        ASSERT_TRUE(box) << c.name;
        const QPoint release = c.releasedOver ? QPoint(5, 5) : QPoint(box->width() + 20, 5);
        EXPECT_EQ(LinesDuring([&] {
                      QTest::mousePress(box, c.button, {}, {5, 5});
                      QTest::mouseRelease(box, c.button, {}, release);
                  }),
                  c.lines)
            << c.name << " " << c.button << " " << c.releasedOver;
        EXPECT_EQ(box->isChecked(), c.checkedAfter) << c.name << " " << c.button;
    }
}

// The group box hands on a change of its own Enabled; a control inside that was disabled on its
// own since stays so when nothing changes the box's own value.
TEST(GalleryChecksPage, GroupBoxHandsOnlyAChangeOfItsOwnEnabledToTheControlsInside) {
    TGalleryWindow window(TsuiUIStyle::WinXP);
    window.show();
    auto* box = window.findChild<TsuiGroupBox*>("groupBox1");
    auto* inside = window.findChild<QWidget*>("checkGroup1");
    ASSERT_TRUE(box && inside);
    const struct {
        const char* step;
        std::function<void()> action;
        bool insideEnabled;
    } steps[] = {
        {"box disabled", [&] { box->setEnabled(false); }, false},
        {"every page disabled", [&] { window.setAllDisabled(true); }, false},
        {"box enabled under a disabled page", [&] { box->setEnabled(true); }, false},
        {"the control inside disabled on its own", [&] { inside->setEnabled(false); }, false},
        {"every page enabled", [&] { window.setAllDisabled(false); }, false},
        {"box enabled again", [&] { box->setEnabled(true); }, false},
        {"box disabled and enabled",
         [&] {
             box->setEnabled(false);
             box->setEnabled(true);
         },
         true},
    };
    for (const auto& s : steps) {
        s.action();
        EXPECT_EQ(inside->isEnabled(), s.insideEnabled) << s.step;
    }
}

} // namespace
} // namespace pestrel::gallery
