#include "skin/framed/SUIComboBox.h"

#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"

#include <QStyleOptionComboBox>

namespace pestrel {
namespace {

constexpr int FrameWidth = 2;
constexpr int ScrollBarWidth = 17;

} // namespace

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

void TsuiComboBox::setColor(TColor& field, TColor color) {
    if (color == field)
        return;
    field = color;
    update();
}

void TsuiComboBox::setBorderColor(TColor color) {
    setColor(borderColor_, color);
}

void TsuiComboBox::setArrowColor(TColor color) {
    setColor(arrowColor_, color);
}

void TsuiComboBox::setButtonColor(TColor color) {
    setColor(buttonColor_, color);
}

TRect TsuiComboBox::buttonRect() const {
    return {width() - FrameWidth - ScrollBarWidth, FrameWidth, width() - FrameWidth,
            height() - FrameWidth};
}

QPoint TsuiComboBox::arrowOrigin(const TRect& button) {
    return {button.Left + button.width() / 2 - 4, button.height() / 2};
}

void TsuiComboBox::paintButton(QPainter& canvas, const TRect& button) {
    if (uiStyle_ == TsuiUIStyle::MacOS)
        canvas.drawImage(button.toQRect(), SkinBitmap(QStringLiteral("MACOS_COMBOBOX_BUTTON")));
    else
        canvas.fillRect(button.toQRect(), ColorToQColor(buttonColor_));
    DrawDropArrow(canvas, arrowOrigin(button), ColorToQColor(arrowColor_), isEnabled());
}

void TsuiComboBox::paintEvent(QPaintEvent*) {
    // Straight onto the widget: Qt's backing store is already the off-screen image that reaches
    // the screen in one block, and a second one would double the cost of every repaint.
    QPainter canvas(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // Qt's own combo box paint, then the button and the frame over it.
    // Qt draws no arrow button of its own: the skin's takes its place.
    option.subControls &= ~QStyle::SC_ComboBoxArrow;
    canvas.setPen(palette().color(QPalette::Text));
    style()->drawComplexControl(QStyle::CC_ComboBox, &option, &canvas, this);
    style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &canvas, this);
    // An editable box gets Qt's button whatever the sub-controls say: the field's color covers
    // what the skin's button leaves of it.
    if (isEditable())
        canvas.fillRect(
            style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this),
            palette().color(QPalette::Base));
    paintButton(canvas, buttonRect());
    DrawControlFrame(canvas, this, borderColor_, QColorToColor(palette().color(QPalette::Base)));
}

static const bool comboBoxesStyled = RegisterStyleRule(srComboBox, ApplyStyle<TsuiComboBox>);

} // namespace pestrel
