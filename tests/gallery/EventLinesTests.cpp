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

// Every mouse-button release toggles, also one after the pointer has left the control while
// pressed; only a left-button press released without leaving clicks.
TEST(GalleryEventLines, CheckControlsToggleOnEveryReleaseAlsoAfterThePointerLeft) {
    TGalleryWindow window(TsuiUIStyle::WinXP);
    window.show();
    ASSERT_TRUE(window.showPage("pageChecks"));
    const struct {
        const char* name;
        Qt::MouseButton button;
        bool leaves;
        std::string lines;
        bool checkedAfter;
    } cases[] = {
        {"checkBox1", Qt::LeftButton, true, "", false},
        {"checkBox1", Qt::RightButton, true, "", true},
        {"checkBox1", Qt::LeftButton, false, "checkBox1 OnClick 0\n", false},
        {"checkBox1", Qt::RightButton, false, "", true},
        {"radioButton2", Qt::RightButton, true, "", true},
        {"radioButton3", Qt::LeftButton, true, "", true},
        {"radioButton3", Qt::LeftButton, false, "radioButton3 OnClick 1\n", true},
    };
    for (const auto& c : cases) {
        auto* box = window.findChild<TsuiCheckBox*>(c.name);
        ASSERT_TRUE(box) << c.name;
        const QPoint release = c.leaves ? QPoint(box->width() + 20, 5) : QPoint(5, 5);
        EXPECT_EQ(LinesDuring([&] {
                      QTest::mousePress(box, c.button, {}, {5, 5});
                      QTest::mouseMove(box, release);
                      QTest::mouseRelease(box, c.button, {}, release);
                  }),
                  c.lines)
            << c.name << " " << c.button << " " << c.leaves;
        EXPECT_EQ(box->isChecked(), c.checkedAfter) << c.name << " " << c.button << " " << c.leaves;
    }
    EXPECT_FALSE(window.findChild<TsuiCheckBox*>("radioButton2")->isChecked());
}

// Every setting of the group box's Enabled, also to the value it already has, reaches the
// controls inside, also one disabled on its own; its parent's state does not.
TEST(GalleryChecksPage, GroupBoxPassesEverySettingOfItsEnabledToTheControlsInside) {
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
        {"the control inside disabled on its own", [&] { inside->setEnabled(false); }, false},
        {"the box enabled as it already is", [&] { box->setEnabled(true); }, true},
        {"the box disabled", [&] { box->setEnabled(false); }, false},
        {"the box enabled, then the control inside disabled on its own",
         [&] {
             box->setEnabled(true);
             inside->setEnabled(false);
         },
         false},
        {"every page disabled and enabled again",
         [&] {
             window.setAllDisabled(true);
             window.setAllDisabled(false);
         },
         false},
    };
    for (const auto& s : steps) {
        s.action();
        EXPECT_EQ(inside->isEnabled(), s.insideEnabled) << s.step;
    }
}

} // namespace
} // namespace pestrel::gallery
