#include "skin/window/SUIMenuBar.h"

#include "skin/SkinBitmaps.h"
#include "skin/menus/SUIMainMenu.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace pestrel {
namespace {

constexpr int CaptionFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

class TsuiMenuBarStyle : public QProxyStyle {
public:
    explicit TsuiMenuBarStyle(const TsuiMenuBar& bar) : bar_(bar) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
        case PM_MenuBarPanelWidth:
        case PM_MenuBarVMargin:
        case PM_MenuBarHMargin:
        case PM_MenuBarItemSpacing:
            return 0;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type != CT_MenuBarItem || !item)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        const int textWidth =
            option->fontMetrics.boundingRect(QRect(), CaptionFlags, item->text).width();
        return {textWidth + 16, bar_.height()};
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarEmptyArea)
            DrawBackground(*painter, option->rect);
        else if (element == CE_MenuBarItem && item)
            DrawItem(*painter, *item);
        else
            QProxyStyle::drawControl(element, option, painter, widget);
    }

private:
    void DrawBackground(QPainter& canvas, const QRect& rect) const {
        if (bar_.effectiveStyle() == TsuiUIStyle::MacOS)
            canvas.drawImage(bar_.rect(), SkinBitmap(QStringLiteral("MACOS_MENU_BAR")));
        else
            canvas.fillRect(rect, ColorToQColor(bar_.color()));
    }

    // Hot while the pointer is over it or the keyboard is on it; pressed while its menu is down.
    void DrawItem(QPainter& canvas, const QStyleOptionMenuItem& item) const {
        const TsuiUIStyle style = bar_.effectiveStyle();
        const bool pressed = item.state & QStyle::State_Sunken;
        const bool hot = pressed || (item.state & QStyle::State_Selected);
        const bool enabled = item.state & QStyle::State_Enabled;
        QRect r = item.rect;
        DrawBackground(canvas, r);
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
