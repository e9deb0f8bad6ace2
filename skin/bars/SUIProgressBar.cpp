#include "skin/bars/SUIProgressBar.h"

#include "skin/SUIPublic.h"
#include "skin/SkinAccessible.h"
#include "skin/bars/SUIBarAccessible.h"

#include <QPainter>
#include <algorithm>

namespace pestrel {
namespace {

// The caption's font: fixed, whatever the control's own font is.
QFont CaptionFont() {
    QFont font;
    font.setPixelSize(10);
    return font;
}

} // namespace

std::int64_t ProgressPercent(int min, int max, int position) {
    if (min == max)
        return 0;
    return (std::int64_t{position} - min) * 100 / (std::int64_t{max} - min);
}

int ProgressFilledLength(int length, int min, int max, int position) {
    if (min >= max || position <= min)
        return 0;
    if (position > max)
        return length;
    return static_cast<int>(std::int64_t{length} * (std::int64_t{position} - min) /
                            (std::int64_t{max} - min));
}

TsuiProgressBar::TsuiProgressBar(QWidget* parent) : QWidget(parent) {
    InstallSkinAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(150, Thickness);
    fixThickness();
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
    updateCaption();
}

void TsuiProgressBar::setUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    ApplyUIStyle();
}

void TsuiProgressBar::ApplyUIStyle() {
    if (uiStyle_ != TsuiUIStyle::Custom) {
        picture_ = ThemeBitmap(uiStyle_, tiProgressBar);
        color_ = GetThemeColor(uiStyle_, tiControlColor);
        borderColor_ = GetThemeColor(uiStyle_, tiControlBorderColor);
    }
    prepareVerticalPicture();
    update();
}

void TsuiProgressBar::setCaptionColor(TColor color) {
    if (captionColor_ == color)
        return;
    captionColor_ = color;
    update();
}

void TsuiProgressBar::setShowCaption(bool show) {
    if (showCaption_ == show)
        return;
    showCaption_ = show;
    update();
}

void TsuiProgressBar::setSmartShowCaption(bool smart) {
    if (smartShowCaption_ == smart)
        return;
    smartShowCaption_ = smart;
    update();
}

void TsuiProgressBar::setMax(int max) {
    if (max_ == max)
        return;
    max_ = max;
    updateCaption();
}

void TsuiProgressBar::setMin(int min) {
    if (min_ == min)
        return;
    min_ = min;
    updateCaption();
}

void TsuiProgressBar::setPosition(int position) {
    if (position_ == position)
        return;
    position_ = position;
    updateCaption();
    AnnounceBarValue(this, position_);
}

void TsuiProgressBar::updateCaption() {
    caption_ = QString::number(ProgressPercent(min_, max_, position_)) + u'%';
    update();
}

void TsuiProgressBar::setOrientation(TsuiProgressBarOrientation orientation) {
    orientation_ = orientation;
    if (orientation_ == TsuiProgressBarOrientation::suiVertical)
        showCaption_ = false;
    ApplyUIStyle();
    fixThickness();
}

void TsuiProgressBar::fixThickness() {
    const int length = std::max(width(), height());
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (orientation_ == TsuiProgressBarOrientation::suiHorizontal) {
        setFixedHeight(Thickness);
        resize(length, Thickness);
    } else {
        setFixedWidth(Thickness);
        resize(Thickness, length);
    }
    updateGeometry();
}

void TsuiProgressBar::setBorderColor(TColor color) {
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    update();
}

void TsuiProgressBar::setColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void TsuiProgressBar::setPicture(const QImage& picture) {
    picture_ = picture;
    prepareVerticalPicture();
    update();
}

// A vertical bar fills from the bottom, so it shows its picture upside down.
void TsuiProgressBar::prepareVerticalPicture() {
    verticalPicture_ = orientation_ == TsuiProgressBarOrientation::suiVertical
                           ? picture_.mirrored(false, true)
                           : QImage();
}

QSize TsuiProgressBar::sizeHint() const {
    return orientation_ == TsuiProgressBarOrientation::suiHorizontal ? QSize(150, Thickness)
                                                                     : QSize(Thickness, 150);
}

void TsuiProgressBar::paintEvent(QPaintEvent*) {
    const bool horizontal = orientation_ == TsuiProgressBarOrientation::suiHorizontal;
    PaintOffscreen(this, ColorToQColor(color_), [this, horizontal](QPainter& canvas) {
        if (horizontal)
            paintHorizontal(canvas);
        else
            paintVertical(canvas);
        FrameRect(canvas, {0, 0, width(), height()}, ColorToQColor(borderColor_));
    });
}

// The filled part runs from x = 1 to the filled length of width - 1; the picture is stretched
// over it and the colour fills the rest inside the frame.
void TsuiProgressBar::paintHorizontal(QPainter& canvas) const {
    const int w = width(), h = height();
    const int filled = std::max(ProgressFilledLength(w - 1, min_, max_, position_), 1);
    if (!picture_.isNull() && filled > 1)
        canvas.drawImage(QRect(1, 1, filled - 1, h - 2), picture_);
    canvas.fillRect(QRect(filled, 1, w - 1 - filled, h - 2), ColorToQColor(color_));
    if (showCaption_ && (!smartShowCaption_ || position_ != min_)) {
        canvas.setFont(CaptionFont());
        constexpr int flags = Qt::AlignCenter | Qt::TextSingleLine;
        if (isEnabled()) {
            canvas.setPen(ColorToQColor(captionColor_));
            canvas.drawText(rect(), flags, caption_);
        } else {
            DrawDisabledCaption(canvas, rect(), flags, caption_);
        }
    }
}

// Filled from the bottom: the picture, upside down, below row `top`, the colour above it.
void TsuiProgressBar::paintVertical(QPainter& canvas) const {
    const int w = width(), h = height();
    const int top = std::max(h - 1 - ProgressFilledLength(h - 1, min_, max_, position_), 1);
    if (!verticalPicture_.isNull() && top < h - 1)
        canvas.drawImage(QRect(1, top, w - 2, h - 1 - top), verticalPicture_);
    canvas.fillRect(QRect(1, 1, w - 2, top - 1), ColorToQColor(color_));
}

static const bool progressBarsStyled =
    RegisterStyleRule(srProgressBar, ApplyStyleUnlessCustom<TsuiProgressBar>);

} // namespace pestrel
