#include "skin/framed/SUIComboBox.h"

#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"

#include <QStyleOptionComboBox>

namespace pestrel {

TsuiComboBox::TsuiComboBox(QWidget* parent) : QComboBox(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
}

void TsuiComboBox::setUIStyle(TsuiUIStyle style) {
    if (style == uiStyle_)
        return;
    uiStyle_ = style;
    if (style == TsuiUIStyle::Custom)
        return;
    buttonColor_ = GetThemeColor(style, tiComboButtonColor);
    arrowColor_ = GetThemeColor(style, tiControlBorderColor);
    borderColor_ = GetThemeColor(style, tiControlBorderColor);
    update();
}

void TsuiComboBox::setColour(TColor& field, TColor color) {
    if (color == field)
        return;
    field = color;
    update();
}

void TsuiComboBox::setBorderColor(TColor color) {
    setColour(borderColor_, color);
}

void TsuiComboBox::setArrowColor(TColor color) {
    setColour(arrowColor_, color);
}

void TsuiComboBox::setButtonColor(TColor color) {
    setColour(buttonColor_, color);
}

TRect TsuiComboBox::ButtonRect() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return buttonRect(option);
}

TRect TsuiComboBox::buttonRect(const QStyleOptionComboBox& option) const {
    return TRect::fromQRect(
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this));
}

QPoint TsuiComboBox::ArrowOrigin(const TRect& button) {
    return {button.Left + button.width() / 2 - 4, button.height() / 2};
}

void TsuiComboBox::paintButton(QPainter& canvas, const TRect& button) {
    if (uiStyle_ == TsuiUIStyle::MacOS)
        canvas.drawImage(button.toQRect(), SkinBitmap(QStringLiteral("MACOS_COMBOBOX_BUTTON")));
    else
        canvas.fillRect(button.toQRect(), ColorToQColor(buttonColor_));
    DrawDropArrow(canvas, ArrowOrigin(button), ColorToQColor(arrowColor_), isEnabled());
}

void TsuiComboBox::paintEvent(QPaintEvent*) {
    // Straight onto the widget: Qt's backing store is already the off-screen image that reaches
    // the screen in one block, and a second one would double the cost of every repaint.
    QPainter canvas(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // Qt's own combo box paint, then the button and the frame over it.
    canvas.setPen(palette().color(QPalette::Text));
    style()->drawComplexControl(QStyle::CC_ComboBox, &option, &canvas, this);
    style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &canvas, this);
    paintButton(canvas, buttonRect(option));
    DrawControlFrame(canvas, this, borderColor_, QColorToColor(palette().color(QPalette::Base)));
}

static const bool comboBoxesStyled = RegisterStyleRule(srComboBox, ApplyStyle<TsuiComboBox>);

} // namespace pestrel
