#include "skin/bars/SUITrackBar.h"

#include "skin/SUIPublic.h"
#include "skin/SkinAccessible.h"
#include "skin/bars/SUIBarAccessible.h"
#include "skin/containers/SUIImagePanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace pestrel {

int TrackThumbOffset(int trackLength, int thumbLength, int min, int max, int position) {
    const std::int64_t room = std::int64_t{trackLength} - thumbLength;
    if (room <= 0 || max == min)
        return 0;
    const std::int64_t offset = (std::int64_t{position} - min) * room / (std::int64_t{max} - min);
    return static_cast<int>(std::clamp<std::int64_t>(offset, 0, room));
}

int TrackValueAt(int c, int trackLength, int thumbLength, int min, int max) {
    const std::int64_t room = std::int64_t{trackLength} - thumbLength;
    if (room <= 0)
        return min;
    const std::int64_t value =
        min + (std::int64_t{c} - thumbLength / 2) * (std::int64_t{max} - min) / room;
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::min(min, max), std::max(min, max)));
}

TsuiTrackBar::TsuiTrackBar(QWidget* parent) : QWidget(parent), slider_(new TsuiImagePanel(this)) {
    InstallSkinAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    slider_->installEventFilter(this);
    resize(150, 20);
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
    refresh();
}

bool TsuiTrackBar::horizontal() const {
    return orientation_ == TsuiProgressBarOrientation::suiHorizontal;
}

int TsuiTrackBar::trackLength() const {
    return horizontal() ? width() : height();
}

int TsuiTrackBar::thumbLength() const {
    return horizontal() ? slider_->width() : slider_->height();
}

int TsuiTrackBar::alongTrack(const QPoint& point) const {
    return horizontal() ? point.x() : point.y();
}

void TsuiTrackBar::setOrientation(TsuiProgressBarOrientation orientation) {
    if (orientation_ == orientation)
        return;
    orientation_ = orientation;
    loadPictures();
    refresh();
}

void TsuiTrackBar::setUIStyle(TsuiUIStyle style) {
    if (style == uiStyle_)
        return;
    uiStyle_ = style;
    if (style != TsuiUIStyle::Custom) {
        color_ = GetThemeColor(style, tiTrackBarColor);
        face_ = QImage();
        loadPictures();
        refresh();
    }
}

void TsuiTrackBar::setBarImage(const QImage& image) {
    barImage_ = image;
    refresh();
}

const QImage& TsuiTrackBar::SliderImage() const {
    return slider_->Picture();
}

void TsuiTrackBar::setSliderImage(const QImage& image) {
    slider_->setPicture(image);
}

void TsuiTrackBar::setMax(int max) {
    if (max_ == max)
        return;
    max_ = max;
    placeThumb();
}

void TsuiTrackBar::setMin(int min) {
    if (min_ == min)
        return;
    min_ = min;
    placeThumb();
}

void TsuiTrackBar::setPosition(int position) {
    if (position_ == position)
        return;
    position_ = position;
    placeThumb();
    AnnounceBarValue(this, position_);
}

void TsuiTrackBar::setColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    face_ = QImage();
    update();
}

// The bar is prepared before the thumb is placed, so that the thumb is placed on the new size.
void TsuiTrackBar::refresh() {
    prepareBar();
    fitThickness();
    placeThumb();
}

void TsuiTrackBar::loadPictures() {
    if (uiStyle_ == TsuiUIStyle::Custom)
        return;
    barImage_ = ThemeBitmap(uiStyle_, horizontal() ? tiTrackBarBar : tiTrackBarBarV);
    slider_->setPicture(ThemeBitmap(uiStyle_, horizontal() ? tiTrackBarSlider : tiTrackBarSliderV));
    slider_->setAutoSize(true);
}

void TsuiTrackBar::placeThumb() {
    const int offset = TrackThumbOffset(trackLength(), thumbLength(), min_, max_, position_);
    if (horizontal())
        slider_->move(offset, std::max(height() - slider_->height(), 0) / 2);
    else
        slider_->move(std::max(width() - slider_->width(), 0) / 2, offset);
    update();
    emit OnChange();
}

// The track at the bar's length: in a built-in style the bar picture drawn in three parts over
// the length; in Custom the bar image as it is. Turned for a vertical bar.
void TsuiTrackBar::prepareBar() {
    if (uiStyle_ == TsuiUIStyle::Custom) {
        barBitmap_ = barImage_;
    } else {
        barBitmap_ = QImage(trackLength(), barImage_.height(), QImage::Format_RGB32);
        if (!barBitmap_.isNull()) {
            QPainter canvas(&barBitmap_);
            DrawThreePartHorizontal(barImage_, canvas, TRect::fromQRect(barBitmap_.rect()), false);
        }
    }
    if (!horizontal())
        RotateBitmapLeft(barBitmap_);
    face_ = QImage();
}

// The bar is as thick as its picture or its thumb, whichever is thicker. A bar without either
// keeps its size.
void TsuiTrackBar::fitThickness() {
    const int thickness =
        std::max(barImage_.height(), horizontal() ? slider_->height() : slider_->width());
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (thickness > 0) {
        if (horizontal())
            setFixedHeight(thickness);
        else
            setFixedWidth(thickness);
    }
    update();
}

// The colour with the track over it, composed once for each size, colour and track: moving the
// thumb only copies it.
void TsuiTrackBar::paintEvent(QPaintEvent*) {
    if (face_.size() != size()) {
        face_ = QImage(size(), QImage::Format_RGB32);
        face_.fill(ColorToQColor(color_));
        QPainter canvas(&face_);
        const int barHeight = barImage_.height();
        if (horizontal())
            canvas.drawImage(0, (height() - barHeight) / 2, barBitmap_);
        else
            canvas.drawImage((width() - barHeight) / 2, 0, barBitmap_);
    }
    QPainter(this).drawImage(0, 0, face_);
}

void TsuiTrackBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refresh();
}

void TsuiTrackBar::setPositionFromPoint(const QPoint& point) {
    setPosition(TrackValueAt(alongTrack(point), trackLength(), thumbLength(), min_, max_));
}

void TsuiTrackBar::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    setPositionFromPoint(event->position().toPoint());
}

// The thumb follows the pointer along the track and never leaves it. OnChange fires while
// Position still holds the old value; then Position takes the value of the thumb's new place, so
// a thumb dragged to an end gives Min or Max wherever it was grabbed.
void TsuiTrackBar::drag(const QPoint& point) {
    const int room = std::max(trackLength() - thumbLength(), 0);
    const int offset = std::clamp(alongTrack(point) - dragOffset_, 0, room);
    if (horizontal())
        slider_->move(offset, slider_->y());
    else
        slider_->move(slider_->x(), offset);
    emit OnChange();
    position_ = TrackValueAt(offset + thumbLength() / 2, trackLength(), thumbLength(), min_, max_);
}

bool TsuiTrackBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != slider_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        dragOffset_ = alongTrack(static_cast<QMouseEvent*>(event)->position().toPoint());
        dragging_ = true;
        return true;
    case QEvent::MouseMove:
        if (dragging_)
            drag(slider_->mapToParent(static_cast<QMouseEvent*>(event)->position().toPoint()));
        return dragging_;
    case QEvent::MouseButtonRelease:
        dragging_ = false;
        return true;
    default:
        return false;
    }
}

static const bool trackBarsStyled = RegisterStyleRule(srTrackBar, ApplyStyle<TsuiTrackBar>);

} // namespace pestrel
