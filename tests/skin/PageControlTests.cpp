#include "skin/buttons/SUIButton.h"
#include "skin/containers/SUIPageControl.h"
#include "ui_PageControlForm.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace pestrel {
namespace {

// A font in which each of the main window's Chinese characters is 12 pixels wide.
QFont TwelvePixelFont() {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}

// Paints the strip once, which records the tab widths the mouse hits against.
void Paint(TsuiTab& tab) {
    tab.TopPanel()->grab();
}

void PressAt(TsuiTab& tab, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(tab.TopPanel(), button, {}, {x, y});
    QTest::mouseRelease(tab.TopPanel(), button, {}, {x, y});
}

// A page control with pages captioned as given, each caption also the page's object name.
struct Pages {
    explicit Pages(const QStringList& captions, TsuiUIStyle style = TsuiUIStyle::WinXP) {
        control.resize(320, 200);
        control.setUIStyle(style);
        control.setTabFont(TwelvePixelFont());
        for (const QString& caption : captions) {
            auto* sheet = new TsuiTabSheet(&control);
            sheet->setObjectName(caption);
            sheet->setCaption(caption);
            sheets.push_back(sheet);
        }
    }
    QStringList order() const {
        QStringList names;
        for (int i = 0; i < control.PageCount(); ++i)
            names << control.pageAt(i)->objectName();
        return names;
    }
    TsuiPageControl control;
    std::vector<TsuiTabSheet*> sheets;
};

// --- the strip
// ------------------------------------------------------------------------------------

TEST(TabStrip, NewControls) {
    TsuiTabControl tabs;
    EXPECT_EQ(tabs.Tabs(), QStringList{"Tab1"});
    EXPECT_EQ(tabs.TabIndex(), 0);
    EXPECT_EQ(tabs.LeftMargin(), 10);
    TsuiPageControl pages;
    EXPECT_TRUE(pages.TopPanel()->Tabs().isEmpty());
    EXPECT_EQ(pages.PageCount(), 0);
    EXPECT_EQ(pages.ActivePage(), nullptr);
}

TEST(TabStrip, TabsAreCaptionWidthPlusTwentyOrEightyWhenEmpty) {
    TsuiTabControl tabs;
    tabs.resize(400, 80);
    tabs.setTabFont(TwelvePixelFont());
    ASSERT_EQ(QFontMetrics(TwelvePixelFont()).horizontalAdvance("杀毒"), 24);
    tabs.setTabs({"杀毒", "进程列表", "", "进程路径"});
    Paint(tabs);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(0), 44);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(1), 68);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(2), 80);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(3), 68);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(4), -1);
    // Fewer tabs: the old widths no longer count.
    tabs.setTabs({"杀毒"});
    Paint(tabs);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(1), -1);
}

TEST(TabStrip, PressesHitInsideTabsOnlyNeverOnTheirEdges) {
    TsuiTabControl tabs;
    tabs.resize(400, 80);
    tabs.setUIStyle(TsuiUIStyle::WinXP);
    tabs.setTabFont(TwelvePixelFont());
    tabs.setTabs({"杀毒", "进程列表", ""}); // tabs at 10..54, 54..122, 122..202
    Paint(tabs);
    ASSERT_EQ(tabs.TopPanel()->TabHeight(), 18);
    QSignalSpy active(&tabs, &TsuiTab::OnTabActive);
    const struct {
        int x, y, selected;
    } presses[] = {
        {10, 5, -1}, {11, 5, 0},   {53, 5, 0},  {54, 5, -1},  {55, 5, 1},
        {121, 5, 1}, {122, 5, -1}, {123, 5, 2}, {201, 5, 2},  {202, 5, -1},
        {30, 0, -1}, {30, 1, 0},   {30, 17, 0}, {30, 18, -1}, {5, 5, -1},
    };
    for (const auto& p : presses) {
        tabs.TopPanel()->setTabIndex(-1);
        active.clear();
        PressAt(tabs, p.x, p.y);
        EXPECT_EQ(tabs.TabIndex(), p.selected) << p.x << "," << p.y;
        EXPECT_EQ(active.count(), p.selected < 0 ? 0 : 1) << p.x << "," << p.y;
    }
}

TEST(TabStrip, EveryMouseButtonSelectsAndReselectingFiresAgain) {
    TsuiTabControl tabs;
    tabs.setTabs({"a", "b"});
    tabs.setTabFont(TwelvePixelFont());
    Paint(tabs);
    QSignalSpy active(&tabs, &TsuiTab::OnTabActive);
    PressAt(tabs, tabs.LeftMargin() + tabs.TopPanel()->TabWidth(0) + 3, 5, Qt::RightButton);
    EXPECT_EQ(tabs.TabIndex(), 1);
    PressAt(tabs, tabs.LeftMargin() + tabs.TopPanel()->TabWidth(0) + 3, 5, Qt::MiddleButton);
    ASSERT_EQ(active.count(), 2);
    EXPECT_EQ(active.at(1).at(0).toInt(), 1);
}

TEST(TabStrip, TabIndexRange) {
    TsuiTabControl tabs;
    tabs.setTabs({"a", "b", "c"});
    QSignalSpy active(&tabs, &TsuiTab::OnTabActive);
    tabs.setTabIndex(2);
    tabs.setTabIndex(3);
    tabs.setTabIndex(-2);
    EXPECT_EQ(tabs.TabIndex(), 2);
    tabs.setTabIndex(-1);
    EXPECT_EQ(tabs.TabIndex(), -1);
    ASSERT_EQ(active.count(), 2);
    EXPECT_EQ(active.at(1).at(0).toInt(), -1);
    tabs.setTabs({});
    tabs.setTabIndex(1);
    EXPECT_EQ(tabs.TabIndex(), -1);
    EXPECT_EQ(active.count(), 2);
}

TEST(TabStrip, HiddenTabsTakeNoRoom) {
    TsuiTabControl tabs;
    tabs.setTabFont(TwelvePixelFont());
    tabs.setTabs({"杀毒", "进程列表", "进程路径"});
    tabs.TopPanel()->setTabVisible(0, false);
    Paint(tabs);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(0), 0);
    PressAt(tabs, 11, 5);
    EXPECT_EQ(tabs.TabIndex(), 1);
    PressAt(tabs, 79, 5); // 10 + 68 + 1
    EXPECT_EQ(tabs.TabIndex(), 2);
}

TEST(TabStrip, SixtyThreeTabsAtMostAnswerTheMouse) {
    TsuiTabControl tabs;
    tabs.resize(100 * 80, 80);
    QStringList many;
    for (int i = 0; i < 70; ++i)
        many << QString();
    tabs.setTabs(many); // 80 pixels each
    Paint(tabs);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(62), 80);
    EXPECT_EQ(tabs.TopPanel()->TabWidth(63), -1);
    PressAt(tabs, 10 + 62 * 80 + 40, 5);
    EXPECT_EQ(tabs.TabIndex(), 62);
    PressAt(tabs, 10 + 63 * 80 + 40, 5);
    EXPECT_EQ(tabs.TabIndex(), 62);
    // Out-of-table flags are refused, not written past the end.
    tabs.TopPanel()->setTabVisible(200, false);
    EXPECT_TRUE(tabs.TopPanel()->TabVisible(200));
    tabs.setTabIndex(69);
    EXPECT_EQ(tabs.TabIndex(), 69);
}

TEST(TabStrip, WinXPPixels) {
    TsuiTabControl tabs;
    tabs.resize(300, 80);
    tabs.setUIStyle(TsuiUIStyle::WinXP);
    tabs.setTabFont(TwelvePixelFont());
    tabs.setTabs({"杀毒", "进程列表", ""});
    tabs.setTabIndex(1);
    const QImage strip = tabs.TopPanel()->grab().toImage();
    ASSERT_EQ(strip.height(), 19);
    const QColor background(0xEF, 0xEB, 0xDE), edge(0x91, 0x9B, 0x9C);
    // Tab edges at 10, 53 | 54, 121 | 122, 201.
    for (int x : {10, 53, 54, 121, 122, 201})
        EXPECT_EQ(strip.pixelColor(x, 10), edge) << x;
    for (int x : {9, 202})
        EXPECT_EQ(strip.pixelColor(x, 10), background) << x;
    // The selected tab sits one pixel lower.
    EXPECT_EQ(strip.pixelColor(12, 0), QColor(0xAA, 0xB1, 0xAF));
    EXPECT_EQ(strip.pixelColor(56, 0), background);
    EXPECT_EQ(strip.pixelColor(56, 1), QColor(0xD5, 0xBD, 0x76));
    // The line under the tabs, closed by the border colour at both ends.
    EXPECT_EQ(strip.pixelColor(0, 18), QColor(104, 104, 104));
    EXPECT_EQ(strip.pixelColor(299, 18), QColor(104, 104, 104));
    EXPECT_EQ(strip.pixelColor(1, 18), edge);
    EXPECT_EQ(strip.pixelColor(298, 18), edge);
}

// --- styles
// ---------------------------------------------------------------------------------------

TEST(PageControlStyle, PerStyleValues) {
    const struct {
        TsuiUIStyle style;
        int stripHeight;
        TColor border, color;
    } cases[] = {
        {TsuiUIStyle::MacOS, 34, 0x7F7F7F, 0xE7E7E7},
        {TsuiUIStyle::WinXP, 19, 0x686868, 0xFFFFFF},
        {TsuiUIStyle::DeepBlue, 22, 0x000000, 0xE8E8E8},
        {TsuiUIStyle::Protein, 22, 0x000000, 0xFBFBFB},
        {TsuiUIStyle::BlueGlass, 22, 0x000000, 0xE7E7E7},
    };
    for (const auto& c : cases) {
        Pages pages({"a", "b"}, c.style);
        EXPECT_EQ(pages.control.TopPanel()->height(), c.stripHeight) << int(c.style);
        EXPECT_EQ(pages.control.BorderColor(), c.border) << int(c.style);
        EXPECT_EQ(pages.control.Color(), c.color) << int(c.style);
        for (TsuiTabSheet* sheet : pages.sheets) {
            EXPECT_EQ(sheet->Color(), c.color) << int(c.style);
            EXPECT_EQ(sheet->BorderColor(), c.border) << int(c.style);
            EXPECT_EQ(sheet->geometry(), QRect(0, c.stripHeight, 320, 200 - c.stripHeight));
        }
    }
    Pages winxp({"a"});
    EXPECT_EQ(winxp.control.TopPanel()->Color(), TColor(0xDEEBEF));
}

TEST(PageControlStyle, CustomChangesNothing) {
    Pages pages({"a"});
    pages.control.setUIStyle(TsuiUIStyle::Custom);
    EXPECT_EQ(pages.control.UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(pages.control.TopPanel()->height(), 19);
    EXPECT_EQ(pages.sheets[0]->Color(), clWhite);
}

TEST(PageControlStyle, TheStyleReachesButtonsOnPagesButNotOtherChildren) {
    Pages pages({"a"}, TsuiUIStyle::DeepBlue);
    auto* onPage = new TsuiButton(pages.sheets[0]);
    auto* direct = new TsuiButton(&pages.control);
    pages.control.setUIStyle(TsuiUIStyle::MacOS);
    EXPECT_EQ(onPage->UIStyle(), TsuiUIStyle::MacOS);
    EXPECT_EQ(direct->UIStyle(), TsuiUIStyle::DeepBlue);

    QWidget form;
    auto* control = new TsuiPageControl(&form);
    auto* tabs = new TsuiTabControl(&form);
    ContainerApplyUIStyle(&form, TsuiUIStyle::Protein);
    EXPECT_EQ(control->UIStyle(), TsuiUIStyle::Protein);
    EXPECT_EQ(tabs->UIStyle(), TsuiUIStyle::Protein);
}

TEST(PageControlStyle, ColorsPropagateToThePages) {
    Pages pages({"a", "b"});
    pages.control.setColor(0x123456);
    pages.control.setBorderColor(0x0000FF);
    for (TsuiTabSheet* sheet : pages.sheets) {
        EXPECT_EQ(sheet->Color(), TColor(0x123456));
        EXPECT_EQ(sheet->BorderColor(), TColor(0x0000FF));
    }
}

TEST(PageControlStyle, RestatingTheStyleKeepsColorsSetAfterIt) {
    Pages pages({"a"}, TsuiUIStyle::DeepBlue);
    pages.control.setColor(0x123456);
    pages.control.setUIStyle(TsuiUIStyle::DeepBlue);
    EXPECT_EQ(pages.sheets[0]->Color(), TColor(0x123456));
    pages.control.setUIStyle(TsuiUIStyle::Protein);
    EXPECT_EQ(pages.sheets[0]->Color(), TColor(0xFBFBFB));
}

TEST(PageControlStyle, SheetAndFrameBorders) {
    Pages pages({"a"}, TsuiUIStyle::DeepBlue);
    pages.control.setBorderColor(clRed);
    pages.control.setColor(clWhite);
    const QImage sheet = pages.sheets[0]->grab().toImage();
    const int w = sheet.width(), h = sheet.height();
    EXPECT_EQ(sheet.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(sheet.pixelColor(w - 1, 0), QColor(Qt::red));
    EXPECT_EQ(sheet.pixelColor(w / 2, h - 1), QColor(Qt::red));
    EXPECT_EQ(sheet.pixelColor(w / 2, 0), QColor(Qt::white)); // no top edge
    EXPECT_EQ(sheet.pixelColor(w / 2, h / 2), QColor(Qt::white));
}

// --- page bookkeeping
// -----------------------------------------------------------------------------

TEST(PageBookkeeping, InsertingActivatesTheNewPage) {
    Pages pages({"a", "b", "c"});
    EXPECT_EQ(pages.control.PageCount(), 3);
    EXPECT_EQ(pages.control.TopPanel()->Tabs(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[2]);
    EXPECT_EQ(pages.control.TabIndex(), 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pages.sheets[i]->PageIndex(), i);
    pages.sheets[1]->setCaption("B");
    EXPECT_EQ(pages.control.TopPanel()->Tabs(), (QStringList{"a", "B", "c"}));
}

TEST(PageBookkeeping, ActivationBringsThePageToTheFrontAndFiresTwice) {
    Pages pages({"a", "b", "c"});
    pages.control.show();
    QSignalSpy active(&pages.control, &TsuiTab::OnTabActive);
    pages.control.setActivePage(pages.sheets[0]);
    EXPECT_EQ(active.count(), 2);
    EXPECT_EQ(pages.control.TabIndex(), 0);
    EXPECT_EQ(pages.control.childAt(100, 100), pages.sheets[0]);
    // Other pages stay shown beneath.
    EXPECT_TRUE(pages.sheets[2]->isVisible());

    active.clear();
    Paint(pages.control);
    PressAt(pages.control, 12, 5);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[0]);
    EXPECT_EQ(active.count(), 1);
    PressAt(pages.control, 10 + pages.control.TopPanel()->TabWidth(0) + 2, 5);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[1]);
    EXPECT_EQ(pages.control.childAt(100, 100), pages.sheets[1]);

    TsuiPageControl other;
    auto* foreign = new TsuiTabSheet(&other);
    pages.control.setActivePage(foreign);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[1]);
}

TEST(PageBookkeeping, HidingATabSelectsAVisibleNeighbour) {
    Pages pages({"a", "b", "c"});
    pages.sheets[2]->setTabVisible(false);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[1]);
    EXPECT_FALSE(pages.sheets[2]->TabVisible());

    pages.control.setActivePage(pages.sheets[0]);
    pages.sheets[0]->setTabVisible(false);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[1]);
    EXPECT_EQ(pages.control.TabIndex(), 1);

    pages.sheets[1]->setTabVisible(false);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[1]);

    pages.sheets[0]->setTabVisible(true);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[0]);
}

// Pages behind the active one are covered, not hidden: their controls must still be out of the
// keyboard's reach, or Tab and Enter would act on controls nobody can see. The tabs are reached.
TEST(PageBookkeeping, OnlyTheActivePageTakesTheKeyboardFocus) {
    QWidget window;
    auto* control = new TsuiPageControl(&window);
    control->resize(320, 200);
    control->setTabFont(TwelvePixelFont());
    struct Page {
        TsuiTabSheet* sheet;
        QLineEdit* edit;
        TsuiButton* button;
    };
    std::vector<Page> pages;
    for (const char* caption : {"a", "b", "c"}) {
        auto* sheet = new TsuiTabSheet(control);
        sheet->setCaption(caption);
        auto* edit = new QLineEdit(sheet);
        auto* button = new TsuiButton(sheet);
        button->setTabStop(true);
        button->move(0, 40);
        pages.push_back({sheet, edit, button});
    }
    window.show();
    const auto tabbedTo = [&window] {
        std::set<QWidget*> reached;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
            reached.insert(window.focusWidget());
        }
        return reached;
    };

    control->setActivePage(pages[0].sheet);
    pages[0].edit->setFocus();
    EXPECT_EQ(tabbedTo(),
              (std::set<QWidget*>{control->TopPanel(), pages[0].edit, pages[0].button}));

    // The focus leaves a page that goes behind, so Enter cannot click its button.
    pages[0].button->setFocus();
    QSignalSpy clicks(pages[0].button, &TsuiButton::clicked);
    Paint(*control);
    PressAt(*control, control->LeftMargin() + control->TopPanel()->TabWidth(0) + 3, 5);
    ASSERT_EQ(control->ActivePage(), pages[1].sheet);
    EXPECT_EQ(window.focusWidget(), pages[1].edit);
    QTest::keyClick(window.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(tabbedTo(),
              (std::set<QWidget*>{control->TopPanel(), pages[1].edit, pages[1].button}));

    // In front again, a page's controls keep their own focus policies.
    pages[1].edit->setFocus();
    control->setActivePage(pages[0].sheet);
    EXPECT_EQ(pages[0].edit->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(pages[0].button->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(window.focusWidget(), pages[0].edit);
}

TEST(PageBookkeeping, RemovingAPageActivatesTheOneBefore) {
    Pages pages({"a", "b", "c"});
    pages.control.setActivePage(pages.sheets[1]);
    delete pages.sheets[2];
    EXPECT_EQ(pages.control.PageCount(), 2);
    EXPECT_EQ(pages.control.TopPanel()->Tabs(), (QStringList{"a", "b"}));
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[1]);

    pages.sheets[0]->setParent(nullptr);
    std::unique_ptr<TsuiTabSheet> removed(pages.sheets[0]);
    EXPECT_EQ(pages.control.ActivePage(), nullptr);
    EXPECT_EQ(pages.control.TabIndex(), 1); // the strip keeps its index
    EXPECT_EQ(pages.control.TopPanel()->Tabs(), QStringList{"b"});
    EXPECT_EQ(pages.sheets[1]->PageIndex(), 0);
    EXPECT_EQ(removed->PageControl(), nullptr);
    EXPECT_EQ(removed->PageIndex(), -1);
    // Outside a page control its setters act on nothing.
    removed->setPageIndex(0);
    removed->setTabVisible(false);
    removed->setCaption("x");
    EXPECT_EQ(pages.control.TopPanel()->Tabs(), QStringList{"b"});

    // Given back, it is inserted at the end.
    removed.release()->setParent(&pages.control);
    EXPECT_EQ(pages.order(), (QStringList{"b", "a"}));
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[0]);
}

TEST(PageBookkeeping, MovingAPage) {
    Pages pages({"a", "b", "c"});
    pages.sheets[0]->setPageIndex(2);
    EXPECT_EQ(pages.order(), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(pages.control.TopPanel()->Tabs(), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(pages.sheets[0]->PageIndex(), 2);
    EXPECT_EQ(pages.control.ActivePage(), pages.sheets[0]);
    for (int bad : {5, 3, -1}) {
        pages.sheets[1]->setPageIndex(bad);
        EXPECT_EQ(pages.sheets[1]->PageIndex(), 0);
    }
}

TEST(PageBookkeeping, DestroyingThePageControlTakesItsPagesQuietly) {
    auto control = std::make_unique<TsuiPageControl>();
    new TsuiTabSheet(control.get());
    new TsuiTabSheet(control.get());
    QSignalSpy active(control.get(), &TsuiTab::OnTabActive);
    control.reset();
    EXPECT_EQ(active.count(), 0);
}

TEST(PageBookkeeping, LoadingOrdersThePagesByTheSavedNamesAndStaysQuiet) {
    TsuiPageControl control;
    control.setObjectName("pc");
    QSignalSpy active(&control, &TsuiTab::OnTabActive);
    control.setPages({"one", "two", "three"});
    for (const char* name : {"three", "one", "two"}) {
        auto* sheet = new TsuiTabSheet(&control);
        sheet->setObjectName(name);
        sheet->setCaption(name);
        if (QString(name) == "two")
            sheet->setTabVisible(false);
        sheet->setPageControl("pc");
    }
    EXPECT_EQ(active.count(), 0);
    EXPECT_EQ(control.Pages(), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(control.TopPanel()->Tabs(), (QStringList{"one", "two", "three"}));
    EXPECT_FALSE(control.pageAt(1)->TabVisible());
    EXPECT_TRUE(control.pageAt(2)->TabVisible());
    EXPECT_EQ(control.TabIndex(), control.ActivePage()->PageIndex());
    // Loaded: activations fire again.
    control.setActivePage(control.pageAt(0));
    EXPECT_EQ(active.count(), 2);
}

TEST(PageBookkeeping, FromALayoutFile) {
    QWidget form;
    Ui::PageControlForm ui;
    ui.setupUi(&form);
    TsuiPageControl& control = *ui.suiPageControl1;
    EXPECT_EQ(control.Pages(), (QStringList{"suiTabSheet1", "suiTabSheet2", "suiTabSheet3"}));
    EXPECT_EQ(control.TopPanel()->Tabs(), (QStringList{"杀毒", "进程列表", "进程路径"}));
    EXPECT_FALSE(ui.suiTabSheet2->TabVisible());
    EXPECT_EQ(ui.suiTabSheet1->pageControlName(), "suiPageControl1");
    EXPECT_EQ(ui.suiTabSheet1->Color(), clWhite);
    EXPECT_EQ(ui.suiTabSheet1->BorderColor(), TColor(6842472));
    EXPECT_EQ(ui.suiTabSheet1->geometry().top(), 19);
    EXPECT_EQ(ui.SBPestrel->Caption(), "杀毒");
    EXPECT_EQ(ui.SBPestrel->UIStyle(), TsuiUIStyle::DeepBlue);

    QSignalSpy active(&control, &TsuiTab::OnTabActive);
    control.setActivePage(ui.suiTabSheet1);
    EXPECT_EQ(control.TabIndex(), 0);
    EXPECT_EQ(active.count(), 2);
}

} // namespace
} // namespace pestrel
