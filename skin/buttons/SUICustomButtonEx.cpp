#include "skin/buttons/SUICustomButtonEx.h"

#include "skin/SUIPublic.h"
#include "toolkit/ImageList.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace pestrel {

TsuiCustomButtonEx::TsuiCustomButtonEx(QWidget* parent)
    : TsuiCustomButtonEx(parent, FindFormUIStyle(parent ? parent->window() : nullptr)) {}

TsuiCustomButtonEx::TsuiCustomButtonEx(QWidget* parent, TsuiUIStyle style)
    : TsuiCustomButton(parent) {
    setCheckable(true);
    setTabStop(true);
    storeUIStyle(style);
    resize(93, height());
    connect(this, &QAbstractButton::toggled, this, [this] { CheckedChanged(); });
}

void TsuiCustomButtonEx::fitToCaption() {
    if (!AutoSize())
        return;
    const int fontHeight = QFontInfo(font()).pixelSize();
    const int textWidth = QFontMetrics(font()).size(CaptionFlags, Caption()).width();
    resize(GetPictureWidth() + 8 + textWidth, std::max(fontHeight + 2, GetPictureHeight()) + 4);
}

void TsuiCustomButtonEx::AutoSizeChanged() {
    fitToCaption();
}

void TsuiCustomButtonEx::CaptionChanged() {
    fitToCaption();
}

void TsuiCustomButtonEx::FontChanged() {
    TsuiCustomButton::FontChanged();
    fitToCaption();
}

void TsuiCustomButtonEx::UIStyleChanged() {
    // Unlike the base, a Custom style leaves AutoSize alone.
}

void TsuiCustomButtonEx::DrawPicture(QPainter& canvas, const QImage& picture) {
    if (picture.width() == 0 || picture.height() == 0)
        return;
    const int top = (height() - GetPictureHeight()) / 2;
    canvas.drawImage(1, top, MaskPicture() ? MaskedImage(picture, picture.pixel(0, 0)) : picture);
}

void TsuiCustomButtonEx::DrawCaption(QPainter& canvas, const QString& caption) {
    const int fontHeight = QFontInfo(font()).pixelSize();
    textRect_ = {GetPictureWidth() + 4, (height() - (fontHeight + 2)) / 2, width(), height()};
    canvas.setPen(isEnabled() ? fontColor() : QColor(DisabledCaptionGrey));
    canvas.drawText(textRect_.toQRect(), CaptionFlags | Qt::AlignLeft | Qt::AlignTop, caption);
}

void TsuiCustomButtonEx::DrawFocus(QPainter& canvas) {
    // The rectangle of the previous paint: the caption is drawn after the focus mark.
    auto focus = textRect_;
    focus.Left -= 1;
    DrawFocusRect(canvas, focus);
}

void TsuiCustomButtonEx::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        otherPresses_ |= event->button();
    TsuiCustomButton::mousePressEvent(event);
}

void TsuiCustomButtonEx::mouseMoveEvent(QMouseEvent* event) {
    if (!hitButton(event->position().toPoint()))
        otherPresses_ = Qt::NoButton;
    TsuiCustomButton::mouseMoveEvent(event);
}

// Every button toggles: the left one through the click, the others here, without a click. A
// release away from the control gives the press up and leaves the state as it is.
void TsuiCustomButtonEx::mouseReleaseEvent(QMouseEvent* event) {
    if (isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
    if (!hitButton(event->position().toPoint())) {
        otherPresses_.setFlag(event->button(), false);
        if (event->button() == Qt::LeftButton)
            setDown(false);
        return;
    }
    if (otherPresses_.testFlag(event->button())) {
        otherPresses_.setFlag(event->button(), false);
        nextCheckState();
    }
    TsuiCustomButton::mouseReleaseEvent(event);
}

void TsuiCustomButtonEx::resizeEvent(QResizeEvent* event) {
    TsuiCustomButton::resizeEvent(event);
    fitToCaption();
}

} // namespace pestrel
