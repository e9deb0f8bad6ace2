#include "skin/bars/SUITrackBar.h"

#include "skin/SUIPublic.h"
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
    setAttribute(Qt::WA_OpaquePaintEvent);
    slider_->installEventFilter(this);
    resize(150, 20);
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
    Refresh();
}

bool TsuiTrackBar::Horizontal() const {
    return orientation_ == TsuiProgressBarOrientation::suiHorizontal;
}

int TsuiTrackBar::TrackLength() const {
    return Horizontal() ? width() : height();
}

int TsuiTrackBar::ThumbLength() const {
    return Horizontal() ? slider_->width() : slider_->height();
}

int TsuiTrackBar::AlongTrack(const QPoint& point) const {
    return Horizontal() ? point.x() : point.y();
}

void TsuiTrackBar::setOrientation(TsuiProgressBarOrientation orientation) {
    if (orientation_ == orientation)
        return;
    orientation_ = orientation;
    LoadPictures();
    Refresh();
}

void TsuiTrackBar::setUIStyle(TsuiUIStyle style) {
    if (style == uiStyle_)
        return;
    uiStyle_ = style;
    if (style != TsuiUIStyle::Custom) {
        color_ = GetThemeColor(style, tiTrackBarColor);
        face_ = QImage();
        LoadPictures();
        Refresh();
    }
}

void TsuiTrackBar::setBarImage(const QImage& image) {
    barImage_ = image;
    Refresh();
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
    PlaceThumb();
}

void TsuiTrackBar::setMin(int min) {
    if (min_ == min)
        return;
    min_ = min;
    PlaceThumb();
}

void TsuiTrackBar::setPosition(int position) {
    if (position_ == position)
        return;
    position_ = position;
    PlaceThumb();
}

void TsuiTrackBar::setColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    face_ = QImage();
    update();
}

// The bar is prepared before the thumb is placed, so that the thumb is placed on the new size.
void TsuiTrackBar::Refresh() {
    PrepareBar();
    SetSize();
    PlaceThumb();
}

void TsuiTrackBar::LoadPictures() {
    if (uiStyle_ == TsuiUIStyle::Custom)
        return;
    barImage_ = ThemeBitmap(uiStyle_, Horizontal() ? tiTrackBarBar : tiTrackBarBarV);
    slider_->setPicture(ThemeBitmap(uiStyle_, Horizontal() ? tiTrackBarSlider : tiTrackBarSliderV));
    slider_->setAutoSize(true);
}

void TsuiTrackBar::PlaceThumb() {
    const int offset = TrackThumbOffset(TrackLength(), ThumbLength(), min_, max_, position_);
    if (Horizontal())
        slider_->move(offset, std::max(height() - slider_->height(), 0) / 2);
    else
        slider_->move(std::max(width() - slider_->width(), 0) / 2, offset);
    update();
    emit OnChange();
}

// The track at the bar's length: in a built-in style the bar picture drawn in three parts over
// the length; in Custom the bar image as it is. Turned for a vertical bar.
void TsuiTrackBar::PrepareBar() {
    if (uiStyle_ == TsuiUIStyle::Custom) {
        barBitmap_ = barImage_;
    } else {
        barBitmap_ = QImage(TrackLength(), barImage_.height(), QImage::Format_RGB32);
        if (!barBitmap_.isNull()) {
            QPainter canvas(&barBitmap_);
            DrawThreePartHorizontal(barImage_, canvas, TRect::fromQRect(barBitmap_.rect()), false);
        }
    }
    if (!Horizontal())
        RotateBitmapLeft(barBitmap_);
    face_ = QImage();
}

// The bar is as thick as its picture or its thumb, whichever is thicker. A bar without either
// keeps its size.
void TsuiTrackBar::SetSize() {
    const int thickness =
        std::max(barImage_.height(), Horizontal() ? slider_->height() : slider_->width());
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (thickness > 0) {
        if (Horizontal())
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
        if (Horizontal())
            canvas.drawImage(0, (height() - barHeight) / 2, barBitmap_);
        else
            canvas.drawImage((width() - barHeight) / 2, 0, barBitmap_);
    }
    QPainter(this).drawImage(0, 0, face_);
}

void TsuiTrackBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Refresh();
}

void TsuiTrackBar::SetPositionFromPoint(const QPoint& point) {
    setPosition(TrackValueAt(AlongTrack(point), TrackLength(), ThumbLength(), min_, max_));
}

void TsuiTrackBar::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    SetPositionFromPoint(event->position().toPoint());
}

// The thumb follows the pointer along the track and never leaves it. OnChange fires while
// Position still holds the old value; then Position takes the value of the thumb's new place, so
// a thumb dragged to an end gives Min or Max wherever it was grabbed.
void TsuiTrackBar::Drag(const QPoint& point) {
    const int room = std::max(TrackLength() - ThumbLength(), 0);
    const int offset = std::clamp(AlongTrack(point) - dragOffset_, 0, room);
    if (Horizontal())
        slider_->move(offset, slider_->y());
    else
        slider_->move(slider_->x(), offset);
    emit OnChange();
    position_ = TrackValueAt(offset + ThumbLength() / 2, TrackLength(), ThumbLength(), min_, max_);
}

bool TsuiTrackBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != slider_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        dragOffset_ = AlongTrack(static_cast<QMouseEvent*>(event)->position().toPoint());
        dragging_ = true;
        return true;
    case QEvent::MouseMove:
        if (dragging_)
            Drag(slider_->mapToParent(static_cast<QMouseEvent*>(event)->position().toPoint()));
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
