#include "skin/bars/SUIToolBar.h"

#include "skin/SUIPublic.h"

#include <QActionEvent>
#include <QPainter>
#include <QToolButton>

namespace pestrel {

TsuiToolButtonLook ToolButtonLook(bool hot, bool pressed, bool checked) {
    if (hot)
        return pressed ? TsuiToolButtonLook::Pressed : TsuiToolButtonLook::Raised;
    return pressed || checked ? TsuiToolButtonLook::Raised : TsuiToolButtonLook::Default;
}

TsuiToolBar::TsuiToolBar(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
    // Qt's button for the buttons that do not fit has no text of its own.
    if (auto* more = findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(tr("More buttons"));
}

void TsuiToolBar::setUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    if (style == TsuiUIStyle::Custom)
        return;
    buttonBorderColor_ = GetThemeColor(style, tiToolBarButtonBorderColor);
    buttonColor_ = GetThemeColor(style, tiToolBarButtonColor);
    buttonDownColor_ = GetThemeColor(style, tiToolBarButtonDownColor);
    color_ = GetThemeColor(style, tiToolBarColor);
    transparent_ = style == TsuiUIStyle::MacOS;
    repaintButtons();
}

void TsuiToolBar::setButtonColor(TColor color) {
    buttonColor_ = color;
    repaintButtons();
}

void TsuiToolBar::setButtonBorderColor(TColor color) {
    buttonBorderColor_ = color;
    repaintButtons();
}

void TsuiToolBar::setButtonDownColor(TColor color) {
    buttonDownColor_ = color;
    repaintButtons();
}

void TsuiToolBar::setColor(TColor color) {
    color_ = color;
    update();
}

void TsuiToolBar::setTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

bool TsuiToolBar::ShowCaptions() const {
    return toolButtonStyle() == Qt::ToolButtonTextUnderIcon;
}

void TsuiToolBar::setShowCaptions(bool show) {
    setToolButtonStyle(show ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
}

void TsuiToolBar::repaintButtons() {
    update();
    for (QToolButton* button : findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        button->update();
}

void TsuiToolBar::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    if (transparent_)
        DrawParentBackground(canvas, this);
    else
        canvas.fillRect(rect(), ColorToQColor(color_));
}

void TsuiToolBar::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    if (event->type() != QEvent::ActionAdded)
        return;
    if (auto* button = qobject_cast<QToolButton*>(widgetForAction(event->action())))
        button->installEventFilter(this);
}

bool TsuiToolBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        if (auto* button = qobject_cast<QToolButton*>(watched); button && drawButton(button))
            return true;
    }
    return QToolBar::eventFilter(watched, event);
}

bool TsuiToolBar::drawButton(QToolButton* button) {
    const TsuiToolButtonLook look =
        ToolButtonLook(button->underMouse(), button->isDown(), button->isChecked());
    if (look == TsuiToolButtonLook::Default)
        return false;
    const bool raised = look == TsuiToolButtonLook::Raised;
    const int w = button->width();
    QPainter canvas(button);
    canvas.fillRect(button->rect(), ColorToQColor(buttonBorderColor_));
    canvas.fillRect(button->rect().adjusted(1, 1, -1, -1),
                    ColorToQColor(raised ? buttonColor_ : buttonDownColor_));
    canvas.setFont(button->font());
    canvas.setPen(button->palette().color(QPalette::ButtonText));
    const QString caption = button->text();
    const int textWidth = canvas.fontMetrics().horizontalAdvance(caption);
    const QIcon icon = button->icon();
    if (!icon.isNull()) {
        const QSize imageSize = button->iconSize();
        canvas.drawPixmap(
            (w - imageSize.width()) / 2 - (raised ? 1 : 0), raised ? 2 : 3,
            icon.pixmap(imageSize, button->isEnabled() ? QIcon::Normal : QIcon::Disabled));
        if (ShowCaptions())
            canvas.drawText(
                QRect((w - textWidth) / 2, imageSize.height() + 4, textWidth, button->height()),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    } else if (ShowCaptions()) {
        canvas.drawText(QRect((w - textWidth) / 2, raised ? 4 : 5, textWidth, button->height()),
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    }
    return true;
}

static const bool toolBarsStyled = RegisterStyleRule(srToolBar, ApplyStyle<TsuiToolBar>);

} // namespace pestrel
