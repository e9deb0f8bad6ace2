#include "skin/containers/SUIImagePanel.h"

#include "skin/SUIPublic.h"
#include "skin/SUIThemes.h"
#include "toolkit/ImageList.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace pestrel {
namespace {

Qt::Alignment CaptionAlignment(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taLeftJustify:
        return Qt::AlignLeft;
    case TAlignment::taRightJustify:
        return Qt::AlignRight;
    case TAlignment::taCenter:
        break;
    }
    return Qt::AlignHCenter;
}

} // namespace

QSize AutoSizedPanel(QSize panel, QSize picture, TAlign align) {
    const bool keepsWidth =
        align == TAlign::alTop || align == TAlign::alBottom || align == TAlign::alClient;
    const bool keepsHeight =
        align == TAlign::alLeft || align == TAlign::alRight || align == TAlign::alClient;
    return {keepsWidth ? panel.width() : picture.width(),
            keepsHeight ? panel.height() : picture.height()};
}

TsuiCustomPanel::TsuiCustomPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    watchParent();
}

void TsuiCustomPanel::setPicture(const QImage& picture) {
    picture_ = picture;
    PictureChanged();
}

// A transparent picture keys on its bottom-left pixel, as the title bar's buttons do.
void TsuiCustomPanel::PictureChanged() {
    face_ = QImage();
    keyedPicture_ = transparent_ && !picture_.isNull()
                        ? MaskedImage(picture_, picture_.pixel(0, picture_.height() - 1))
                        : QImage();
    fitToPicture();
    update();
}

void TsuiCustomPanel::setTransparent(bool transparent) {
    if (transparent_ == transparent)
        return;
    transparent_ = transparent;
    PictureChanged();
}

void TsuiCustomPanel::setAutoSize(bool autoSize) {
    if (autoSize_ == autoSize)
        return;
    autoSize_ = autoSize;
    fitToPicture();
}

void TsuiCustomPanel::setDrawStyle(TsuiDrawStyle style) {
    if (drawStyle_ == style)
        return;
    drawStyle_ = style;
    face_ = QImage();
    update();
}

void TsuiCustomPanel::setAlignment(TAlignment alignment) {
    if (alignment_ == alignment)
        return;
    alignment_ = alignment;
    update();
}

void TsuiCustomPanel::setAlign(TAlign align) {
    if (align_ == align)
        return;
    align_ = align;
    applyAlign();
}

void TsuiCustomPanel::setCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    update();
}

void TsuiCustomPanel::setColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    face_ = QImage();
    update();
}

void TsuiCustomPanel::fitToPicture() {
    if (autoSize_ && !picture_.isNull())
        resize(AutoSizedPanel(size(), picture_.size(), align_));
}

void TsuiCustomPanel::applyAlign() {
    const QWidget* parent = parentWidget();
    if (!parent || align_ == TAlign::alNone)
        return;
    const QSize area = parent->size();
    switch (align_) {
    case TAlign::alTop:
        setGeometry(0, 0, area.width(), height());
        break;
    case TAlign::alBottom:
        setGeometry(0, area.height() - height(), area.width(), height());
        break;
    case TAlign::alLeft:
        setGeometry(0, 0, width(), area.height());
        break;
    case TAlign::alRight:
        setGeometry(area.width() - width(), 0, width(), area.height());
        break;
    case TAlign::alClient:
        setGeometry(0, 0, area.width(), area.height());
        break;
    case TAlign::alNone:
        break;
    }
}

void TsuiCustomPanel::watchParent() {
    if (watchedParent_ == parentWidget())
        return;
    if (watchedParent_)
        watchedParent_->removeEventFilter(this);
    watchedParent_ = parentWidget();
    if (watchedParent_)
        watchedParent_->installEventFilter(this);
}

bool TsuiCustomPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedParent_ && event->type() == QEvent::Resize)
        applyAlign();
    return QWidget::eventFilter(watched, event);
}

bool TsuiCustomPanel::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        watchParent();
        applyAlign();
    }
    return QWidget::event(event);
}

void TsuiCustomPanel::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit OnClick();
}

void TsuiCustomPanel::DrawPicture(QPainter& canvas, const QImage& picture) const {
    if (picture.isNull())
        return;
    switch (drawStyle_) {
    case TsuiDrawStyle::suiStretch:
        canvas.drawImage(rect(), picture);
        break;
    case TsuiDrawStyle::suiTile:
        TilePicture(canvas, picture, TRect::fromQRect(rect()));
        break;
    case TsuiDrawStyle::suiNormal:
        canvas.drawImage(0, 0, picture);
        break;
    }
}

// Where a picture drawn as is leaves the panel uncovered, the panel's colour shows. An opaque
// panel keeps its colour and picture composed until one of them or its size changes; a
// transparent one composes them over whatever its parent shows now.
QImage TsuiCustomPanel::composedFace() {
    if (!transparent_ && face_.size() == size())
        return face_;
    QImage face(size(), QImage::Format_ARGB32_Premultiplied);
    face.fill(ColorToQColor(color_));
    {
        QPainter canvas(&face);
        if (transparent_)
            DrawParentBackground(canvas, this);
        DrawPicture(canvas, transparent_ ? keyedPicture_ : picture_);
    }
    if (!transparent_)
        face_ = face;
    return face;
}

void TsuiCustomPanel::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    canvas.drawImage(0, 0, composedFace());
    if (HasVisibleCaption(caption_)) {
        canvas.setFont(font());
        const int flags = CaptionAlignment(alignment_) | Qt::AlignVCenter | Qt::TextSingleLine;
        // Engraved like the other skinned captions: the palette's pale disabled text would
        // vanish on a light picture and pass for white on a dark one.
        if (isEnabled()) {
            canvas.setPen(palette().color(QPalette::WindowText));
            canvas.drawText(rect(), flags, caption_.trimmed());
        } else {
            DrawDisabledCaption(canvas, rect(), flags, caption_.trimmed());
        }
    }
}

static const bool imagePanelsWalked = RegisterStyledContainer(IsInstanceOf<TsuiImagePanel>);

} // namespace pestrel
