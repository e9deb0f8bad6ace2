#include "skin/window/SUIMenuBar.h"

#include "skin/SkinBitmaps.h"
#include "skin/menus/SUIMainMenu.h"
#include "skin/window/SUIForm.h"

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
        if (bar_.EffectiveStyle() == TsuiUIStyle::MacOS)
            canvas.drawImage(bar_.rect(), SkinBitmap(QStringLiteral("MACOS_MENU_BAR")));
        else
            canvas.fillRect(rect, ColorToQColor(bar_.Color()));
    }

    // Hot while the pointer is over it or the keyboard is on it; pressed while its menu is down.
    void DrawItem(QPainter& canvas, const QStyleOptionMenuItem& item) const {
        const TsuiUIStyle style = bar_.EffectiveStyle();
        const bool pressed = item.state & QStyle::State_Sunken;
        const bool hot = pressed || (item.state & QStyle::State_Selected);
        const bool enabled = item.state & QStyle::State_Enabled;
        QRect r = item.rect;
        DrawBackground(canvas, r);
        canvas.setFont(bar_.font());
        if (!hot || !enabled) {
            canvas.setPen(enabled ? ColorToQColor(bar_.FontColor()) : QColor(Qt::gray));
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

TsuiMenuBar::TsuiMenuBar(TsuiForm* frame)
    : QMenuBar(frame), frame_(frame), barStyle_(std::make_unique<TsuiMenuBarStyle>(*this)),
      color_(frame->MenuBarColor()) {
    setObjectName(QStringLiteral("suiMenuBar"));
    setNativeMenuBar(false);
    setStyle(barStyle_.get());
    setBarHeight(frame->MenuBarHeight());
    UpdateFont();
}

TsuiMenuBar::~TsuiMenuBar() {
    setStyle(nullptr);
}

void TsuiMenuBar::Rebuild(const QMenu* menu) {
    // The items are the menu's own actions: a bar that holds them already, in order, stays.
    if (menu && actions() == menu->actions())
        return;
    for (QAction* action : actions())
        removeAction(action);
    if (menu)
        addActions(menu->actions());
}

void TsuiMenuBar::UpdateCaptions() {
    // The items are the menu's own actions: the bar lays out their new captions itself.
    update();
}

void TsuiMenuBar::UpdateFont() {
    QFont barFont;
    fontColor_ = clMenuText;
    LoadSystemMenuFont(barFont, fontColor_);
    if (const auto* menu = qobject_cast<const TsuiMainMenu*>(frame_->Menu());
        menu && !menu->UseSystemFont()) {
        barFont = menu->ItemFont();
        fontColor_ = menu->FontColor();
    }
    setFont(barFont);
    update();
}

TsuiUIStyle TsuiMenuBar::EffectiveStyle() const {
    if (const auto* menu = qobject_cast<const TsuiMainMenu*>(frame_->Menu()))
        return menu->UIStyle();
    return frame_->UIStyle();
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
