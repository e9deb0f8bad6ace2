#include "skin/SkinBitmaps.h"
#include "skin/menus/SUIMainMenu.h"
#include "skin/window/SUIForm.h"
#include "skin/window/SUIMenuBar.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

constexpr TsuiUIStyle AllStyles[] = {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue,
                                     TsuiUIStyle::Protein, TsuiUIStyle::BlueGlass};

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

enum class Kind { Normal, Selected, DisabledSelected, Separator, Checked, CheckedImage };

// One item of `kind` drawn alone on a w x h image (starting grey, so untouched pixels show).
QImage DrawnItem(const TsuiMainMenu& menu, Kind kind, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(0x123456);
    QStyleOptionMenuItem option;
    option.rect = QRect(0, 0, w, h);
    option.state = QStyle::State_Enabled;
    option.text = QStringLiteral("x");
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    switch (kind) {
    case Kind::Selected:
        option.state |= QStyle::State_Selected;
        break;
    case Kind::DisabledSelected:
        option.state = QStyle::State_Selected;
        break;
    case Kind::Separator:
        option.text = QStringLiteral("-");
        break;
    case Kind::CheckedImage: {
        QPixmap picture(16, 16);
        picture.fill(Qt::green);
        option.icon = QIcon(picture);
        [[fallthrough]];
    }
    case Kind::Checked:
        option.checkType = QStyleOptionMenuItem::NonExclusive;
        option.checked = true;
        break;
    case Kind::Normal:
        break;
    }
    QPainter canvas(&image);
    DrawMenuItem(menu, canvas, option);
    return image;
}

TEST(MainMenuItems, StyleSetsEveryMeasureEvenUnderMacOS) {
    TsuiMainMenu menu;
    for (const TsuiUIStyle style : AllStyles) {
        SCOPED_TRACE(static_cast<int>(style));
        menu.setUIStyle(style);
        EXPECT_EQ(menu.MenuItemHeight(), GetThemeInteger(style, tiMenuItemHeight));
        EXPECT_EQ(menu.SeparatorHeight(), GetThemeInteger(style, tiMenuSeparatorHeight));
        EXPECT_EQ(menu.BarWidth(), GetThemeInteger(style, tiMenuBarWidth));
        menu.setMenuItemHeight(40);
        menu.setSeparatorHeight(40);
        const int fixed = style == TsuiUIStyle::MacOS ? 0 : 40;
        EXPECT_EQ(menu.MenuItemHeight() == 40, fixed == 40);
        EXPECT_EQ(menu.SeparatorHeight() == 40, fixed == 40);
    }
    menu.setOwnerDraw(false);
    EXPECT_TRUE(menu.OwnerDraw());
}

TEST(MainMenuItems, MeasureBySeparatorCaptionAndShortcut) {
    TsuiMainMenu menu;
    menu.setUIStyle(TsuiUIStyle::WinXP);
    const QFontMetrics metrics(menu.itemFont());
    const int bar = menu.BarWidth();
    EXPECT_EQ(MeasureMenuItem(menu, metrics, "-", "", true).height(), menu.SeparatorHeight());
    const QSize item = MeasureMenuItem(menu, metrics, "&Open", "Ctrl+O", false);
    EXPECT_EQ(item.height(), menu.MenuItemHeight());
    EXPECT_EQ(item.width(),
              metrics.horizontalAdvance("Open") + metrics.horizontalAdvance("Ctrl+O") + bar + 40);
}

// What each kind of item shows at a few telling pixels, in every style.
TEST(MainMenuItems, DrawingRulesPerKindAcrossStyles) {
    TsuiMainMenu menu;
    const QImage mark = menu.CheckImages().getBitmap(0);
    QPoint ink(-1, -1); // a pixel of the check mark that is not its white mask
    for (int y = 0; y < mark.height() && ink.x() < 0; ++y)
        for (int x = 0; x < mark.width() && ink.x() < 0; ++x)
            if ((mark.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                ink = {x, y};
    ASSERT_GE(ink.x(), 0);

    for (const TsuiUIStyle style : AllStyles) {
        SCOPED_TRACE(static_cast<int>(style));
        menu.setUIStyle(style);
        const int w = 120, h = style == TsuiUIStyle::MacOS ? 20 : menu.MenuItemHeight();
        const QPoint corner(w - 2, h - 2);
        const QRgb face = Rgb(menu.Color()), selected = Rgb(menu.SelectedColor());
        if (style == TsuiUIStyle::MacOS) {
            const QImage bar = SkinBitmap("MACOS_MENU_BAR").convertToFormat(QImage::Format_RGB32);
            const QImage select =
                SkinBitmap("MACOS_MENU_SELECT").convertToFormat(QImage::Format_RGB32);
            const auto stretched = [&](const QImage& picture, int rows) {
                return picture.copy(0, 0, picture.width(), rows).scaled(w, h).pixel(corner);
            };
            EXPECT_EQ(DrawnItem(menu, Kind::Normal, w, h).pixel(corner), stretched(bar, 20));
            EXPECT_EQ(DrawnItem(menu, Kind::Selected, w, h).pixel(corner), stretched(select, 20));
            EXPECT_EQ(DrawnItem(menu, Kind::DisabledSelected, w, h).pixel(corner),
                      stretched(bar, 20));
            EXPECT_EQ(DrawnItem(menu, Kind::Separator, w, h).pixel(corner), stretched(bar, 12));
        } else {
            const QImage normal = DrawnItem(menu, Kind::Normal, w, h);
            EXPECT_EQ(normal.pixel(corner), face);
            if (menu.BarWidth() > 0) {
                EXPECT_EQ(normal.pixel(1, h - 2), Rgb(menu.BarColor()));
            }
            const QImage chosen = DrawnItem(menu, Kind::Selected, w, h);
            EXPECT_EQ(chosen.pixel(0, 0), Rgb(menu.SelectedBorderColor()));
            EXPECT_EQ(chosen.pixel(corner), selected);
            EXPECT_EQ(DrawnItem(menu, Kind::DisabledSelected, w, h).pixel(corner), face);
            const QImage separator = DrawnItem(menu, Kind::Separator, w, h);
            EXPECT_EQ(separator.pixel(w - 3, 2), Rgb(menu.SeparatorColor()));
            EXPECT_EQ(separator.pixel(w - 2, 2), face);
            EXPECT_EQ(separator.pixel(w - 3, 3), face);
        }
        const QImage checked = DrawnItem(menu, Kind::Checked, w, h);
        EXPECT_EQ(checked.pixel(QPoint(4, 3) + ink), mark.pixel(ink) | 0xFF000000);
        const QImage pictured = DrawnItem(menu, Kind::CheckedImage, w, h);
        EXPECT_EQ(pictured.pixel(2, 1), qRgb(0, 0, 0));
        EXPECT_EQ(pictured.pixel(3, 2), selected);
        EXPECT_EQ(pictured.pixel(4 + 8, 3 + 8), qRgb(0, 255, 0));
    }
}

TEST(MainMenuItems, FlatBorderOutline) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(0x123456);
    QPainter canvas(&image);
    DrawFlatMenuBorder(canvas, image.rect(), clRed, clBlue);
    canvas.end();
    const struct {
        QPoint at;
        QRgb color;
    } expected[] = {
        {{0, 1}, qRgb(255, 0, 0)},        {{17, 8}, qRgb(255, 0, 0)},     {{0, 7}, qRgb(255, 0, 0)},
        {{1, 2}, qRgb(255, 255, 255)},    {{17, 6}, qRgb(255, 255, 255)}, {{0, 9}, qRgb(0, 0, 255)},
        {{19, 5}, qRgb(0, 0, 255)},       {{19, 0}, qRgb(0, 0, 255)},     {{5, 0}, qRgb(0, 0, 255)},
        {{5, 5}, qRgb(0x12, 0x34, 0x56)},
    };
    for (const auto& [at, color] : expected)
        EXPECT_EQ(image.pixel(at), color) << at.x() << "," << at.y();
}

// A shown skinned window whose main menu has File (Open with Ctrl+O, a separator, a submenu)
// and Help.
struct MenuWindow {
    MenuWindow() {
        form = new TsuiForm(&host);
        form->setUIStyle(TsuiUIStyle::WinXP);
        panel = new QWidget(form);
        form->setFormPanel(panel);
        host.resize(400, 300);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
        menu = new TsuiMainMenu(&host);
        file = menu->addMenu("&File");
        open = file->addAction("&Open");
        open->setShortcut(QKeySequence("Ctrl+O"));
        file->addSeparator();
        recent = file->addMenu("&Recent");
        recent->addAction("one");
        menu->addMenu("&Help");
    }
    QMenuBar* bar() const { return form->MenuBar(); }

    QWidget host;
    TsuiForm* form;
    QWidget* panel;
    TsuiMainMenu* menu;
    QMenu* file;
    QMenu* recent;
    QAction* open;
};

TEST(MenuBar, AssignedByOwnerRemovedOnUnassignGivingHeightBack) {
    MenuWindow window;
    const int titleHeight = window.form->TitleBar()->height();
    ASSERT_EQ(window.form->Menu(), window.menu);
    ASSERT_NE(window.bar(), nullptr);
    EXPECT_EQ(window.bar()->geometry(),
              QRect(0, titleHeight, window.form->width(), window.form->MenuBarHeight()));
    EXPECT_EQ(window.panel->y(), titleHeight + 22);
    EXPECT_EQ(window.bar()->actions().size(), 2);

    window.form->setMenuBarHeight(30);
    EXPECT_EQ(window.bar()->height(), 30);
    EXPECT_EQ(window.panel->y(), titleHeight + 30);

    window.menu->addMenu("&Tools"); // added at run time
    ASSERT_EQ(window.bar()->actions().size(), 3);
    EXPECT_EQ(window.bar()->actions()[2]->text(), "&Tools");

    window.form->setMenu(nullptr);
    EXPECT_EQ(window.bar(), nullptr);
    window.menu->addMenu("&More"); // no longer shown anywhere
    EXPECT_EQ(window.bar(), nullptr);
    EXPECT_EQ(window.panel->y(), titleHeight);

    window.form->setMenu(window.menu);
    ASSERT_NE(window.bar(), nullptr);
    delete window.menu;
    EXPECT_EQ(window.bar(), nullptr);
    EXPECT_EQ(window.panel->y(), titleHeight);
}

TEST(MenuBar, FollowsFrameStyleUnlessCustom) {
    MenuWindow window;
    window.form->setUIStyle(TsuiUIStyle::MacOS);
    EXPECT_EQ(window.menu->UIStyle(), TsuiUIStyle::MacOS);
    EXPECT_EQ(window.menu->MenuItemHeight(), GetThemeInteger(TsuiUIStyle::MacOS, tiMenuItemHeight));
    window.menu->setUIStyle(TsuiUIStyle::Custom);
    window.form->setUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(window.menu->UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(window.form->MenuBarColor(), window.form->Color());
}

TEST(MenuBar, DropDownsAreSkinnedAndWorkByMouseKeyboardAndShortcut) {
    MenuWindow window;
    QSignalSpy triggered(window.open, &QAction::triggered);
    QMenuBar* bar = window.bar();

    // Measured by the menu's own item heights, also in a submenu added before assignment.
    window.file->ensurePolished();
    (void)window.file->sizeHint();
    EXPECT_EQ(window.file->actionGeometry(window.open).height(), window.menu->MenuItemHeight());
    EXPECT_EQ(window.recent->style(), window.file->style());

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
    EXPECT_TRUE(window.file->isVisible());
    QTest::keyClick(window.file, Qt::Key_Escape);
    EXPECT_FALSE(window.file->isVisible());

    QTest::keyClick(window.panel, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(triggered.count(), 1);

    // The accelerator drops File down with its first item chosen; Return triggers it.
    QTest::keyClick(window.panel, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(window.file->isVisible());
    QTest::keyClick(window.file, Qt::Key_Return);
    EXPECT_EQ(triggered.count(), 2);

    // A caption changed at run time shows in the bar.
    window.file->menuAction()->setText("&Document");
    EXPECT_EQ(bar->actions()[0]->text(), "&Document");
}

TEST(MenuBar, PressedItemInMenuColorsWithShadowOthersOnBarColor) {
    MenuWindow window;
    QMenuBar* bar = window.bar();
    QAction* file = bar->actions()[0];
    bar->setActiveAction(file); // drops File down
    ASSERT_TRUE(window.file->isVisible());
    const QImage shown = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect pressed = bar->actionGeometry(file);
    const QRect other = bar->actionGeometry(bar->actions()[1]);
    const int y = pressed.center().y();
    const auto theme = [](int entry) { return Rgb(GetThemeColor(TsuiUIStyle::WinXP, entry)); };
    EXPECT_EQ(shown.pixel(pressed.left(), y), theme(tiMenuSelectedBorderColor));
    EXPECT_EQ(shown.pixel(pressed.right() - 2, y), theme(tiMenuSelectedBorderColor));
    EXPECT_EQ(shown.pixel(pressed.right(), y), theme(tiMenuPressedLineColor));
    EXPECT_EQ(shown.pixel(other.left() + 1, other.bottom()), Rgb(window.form->MenuBarColor()));
    EXPECT_EQ(shown.pixel(bar->width() - 1, y), Rgb(window.form->MenuBarColor()));
}

// Reopened after a style change, a drop-down has the new style's item heights and room for all
// of its items.
TEST(MenuBar, ADropDownReopenedAfterAStyleChangeIsMeasuredAnew) {
    MenuWindow window;
    window.file->addAction("&Close");
    for (const TsuiUIStyle style : {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP}) {
        SCOPED_TRACE(static_cast<int>(style));
        window.file->popup(window.bar()->mapToGlobal(QPoint(0, window.bar()->height())));
        window.file->hide();
        window.form->setUIStyle(style);
        window.file->popup(window.bar()->mapToGlobal(QPoint(0, window.bar()->height())));
        int itemsHeight = 0;
        for (QAction* action : window.file->actions()) {
            const int expected = action->isSeparator()
                                     ? GetThemeInteger(style, tiMenuSeparatorHeight)
                                     : GetThemeInteger(style, tiMenuItemHeight);
            EXPECT_EQ(window.file->actionGeometry(action).height(), expected);
            itemsHeight += expected;
        }
        QAction* close = window.file->actions().last();
        EXPECT_LE(window.file->actionGeometry(close).bottom(),
                  window.file->contentsRect().bottom());
        EXPECT_GE(window.file->height(), itemsHeight);
        window.file->hide();
    }
}

// The bar's captions take a skinned menu's FontColor at once.
TEST(MenuBar, CaptionsTakeTheMenusFontColor) {
    MenuWindow window;
    window.menu->setUseSystemFont(false);
    window.menu->setFontColor(0x000000FF);
    const QImage shown = window.bar()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect item = window.bar()->actionGeometry(window.bar()->actions()[1]);
    int red = 0;
    for (int y = item.top(); y <= item.bottom(); ++y)
        for (int x = item.left(); x <= item.right(); ++x)
            red += shown.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 0);
}

TEST(FormColor, ReachesChildrenThatTakeTheirParentsColor) {
    QWidget host;
    auto* form = new TsuiForm(&host);
    auto* child = new QWidget(form);
    form->setColor(0x00123456);
    EXPECT_EQ(child->palette().color(QPalette::Window), ColorToQColor(0x00123456));
}

} // namespace
} // namespace pestrel
