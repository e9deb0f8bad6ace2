#include "skin/window/SUIMenuBar.h"

#include "skin/SkinBitmaps.h"
#include "skin/menus/MenuItemStyle.h"
#include "skin/menus/SUIMainMenu.h"

#include <QPainter>
#include <QStyleOption>

namespace pestrel {
namespace {

constexpr int CaptionFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

class TsuiMenuBarStyle : public MenuItemStyle {
public:
    explicit TsuiMenuBarStyle(const TsuiMenuBar& bar)
        : MenuItemStyle({CT_MenuBarItem, CE_MenuBarItem, CE_MenuBarEmptyArea},
                        {{PM_MenuBarPanelWidth, 0},
                         {PM_MenuBarVMargin, 0},
                         {PM_MenuBarHMargin, 0},
                         {PM_MenuBarItemSpacing, 0}}),
          bar_(bar) {}

private:
    QSize itemSize(const QStyleOptionMenuItem& item) const override {
        const int textWidth =
            item.fontMetrics.boundingRect(QRect(), CaptionFlags, item.text).width();
        return {textWidth + 16, bar_.height()};
    }
    void drawEmptyArea(QPainter& canvas, const QRect& rect) const override {
        if (bar_.effectiveStyle() == TsuiUIStyle::MacOS)
            canvas.drawImage(bar_.rect(), SkinBitmap(QStringLiteral("MACOS_MENU_BAR")));
        else
            canvas.fillRect(rect, ColorToQColor(bar_.color()));
    }

    // Hot while the pointer is over it or the keyboard is on it; pressed while its menu is down.
    void drawItem(QPainter& canvas, const QStyleOptionMenuItem& item) const override {
        const TsuiUIStyle style = bar_.effectiveStyle();
        const bool pressed = item.state & QStyle::State_Sunken;
        const bool hot = pressed || (item.state & QStyle::State_Selected);
        const bool enabled = item.state & QStyle::State_Enabled;
        QRect r = item.rect;
        drawEmptyArea(canvas, r);
        canvas.setFont(bar_.font());
        if (!hot || !enabled) {
            canvas.setPen(enabled ? ColorToQColor(bar_.fontColor()) : QColor(Qt::gray));
            canvas.drawText(r, CaptionFlags, item.text);
            return;
        }
        if (style == TsuiUIStyle::MacOS) {
            canvas.drawImage(r, SkinBitmap(QStringLiteral("MACOS_MENU_SELECT")));
        } else {
            if (pressed)
                r.setRight(r.right() - 2);
            canvas.fillRect(r, ColorToQColor(GetThemeColor(style, tiMenuSelectedColor)));
            canvas.setPen(ColorToQColor(GetThemeColor(style, tiMenuSelectedBorderColor)));
            canvas.drawRect(r.adjusted(0, 0, -1, -1));
            if (pressed)
                r.setLeft(r.left() + 2);
            r.setTop(r.top() + 2);
        }
        canvas.setPen(ColorToQColor(GetThemeColor(style, tiMenuSelectedFontColor)));
        canvas.drawText(r, CaptionFlags, item.text);
        if (pressed && style != TsuiUIStyle::MacOS)
            canvas.fillRect(r.right() + 1, r.top(), 2, r.height(),
                            ColorToQColor(GetThemeColor(style, tiMenuPressedLineColor)));
    }

    const TsuiMenuBar& bar_;
};

} // namespace

TsuiMenuBar::TsuiMenuBar(QWidget* parent, TColor color, int height)
    : QMenuBar(parent), barStyle_(std::make_unique<TsuiMenuBarStyle>(*this)), color_(color) {
    setObjectName(QStringLiteral("suiMenuBar"));
    setNativeMenuBar(false);
    setStyle(barStyle_.get());
    setBarHeight(height);
    updateFont();
}

TsuiMenuBar::~TsuiMenuBar() {
    setStyle(nullptr);
}

void TsuiMenuBar::setMenu(QMenu* menu) {
    if (menu_)
        disconnect(menu_, nullptr, this, nullptr);
    menu_ = menu;
    if (auto* skinned = qobject_cast<TsuiMainMenu*>(menu)) {
        connect(skinned, &TsuiMainMenu::itemsChanged, this, &TsuiMenuBar::rebuild);
        connect(skinned, &TsuiMainMenu::appearanceChanged, this, &TsuiMenuBar::updateFont);
    }
    rebuild();
    updateFont();
}

void TsuiMenuBar::setFrameStyle(TsuiUIStyle style) {
    if (style == frameStyle_)
        return;
    frameStyle_ = style;
    update();
}

void TsuiMenuBar::rebuild() {
    // The items are the menu's own actions: a bar that holds them already, in order, stays.
    if (menu_ && actions() == menu_->actions())
        return;
    for (QAction* action : actions())
        removeAction(action);
    if (menu_)
        addActions(menu_->actions());
}

void TsuiMenuBar::updateCaptions() {
    // The items are the menu's own actions: the bar lays out their new captions itself.
    update();
}

void TsuiMenuBar::updateFont() {
    QFont barFont;
    fontColor_ = clMenuText;
    LoadSystemMenuFont(barFont, fontColor_);
    if (const auto* menu = qobject_cast<const TsuiMainMenu*>(menu_.data());
        menu && !menu->UseSystemFont()) {
        barFont = menu->itemFont();
        fontColor_ = menu->FontColor();
    }
    setFont(barFont);
    update();
}

TsuiUIStyle TsuiMenuBar::effectiveStyle() const {
    if (const auto* menu = qobject_cast<const TsuiMainMenu*>(menu_.data()))
        return menu->UIStyle();
    return frameStyle_;
}

void TsuiMenuBar::setColor(TColor value) {
    color_ = value;
    update();
}

void TsuiMenuBar::setBarHeight(int value) {
    setFixedHeight(value);
    update();
}

} // namespace pestrel
