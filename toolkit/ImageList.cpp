#include "toolkit/ImageList.h"

namespace pestrel {
namespace {

QRgb ToRgb(TColor color) {
    return ColorToQColor(color).rgb();
}

// The classic disabled look: the dark visible pixels as a shadow with a highlight one pixel to
// the lower right.
QImage Greyed(const QImage& drawn) {
    const QRgb highlight = ToRgb(clBtnHighlight) | 0xFF000000;
    const QRgb shadow = ToRgb(clBtnShadow) | 0xFF000000;
    QImage out(drawn.width() + 1, drawn.height() + 1, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    for (int pass = 0; pass < 2; ++pass) {
        const int offset = pass == 0 ? 1 : 0;
        const QRgb color = pass == 0 ? highlight : shadow;
        for (int y = 0; y < drawn.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y + offset));
            for (int x = 0; x < drawn.width(); ++x) {
                if (qAlpha(src[x]) != 0 && qGray(src[x]) < 192)
                    dst[x + offset] = color;
            }
        }
    }
    return out;
}

} // namespace

QImage MaskedImage(const QImage& opaque, QRgb maskColor) {
    QImage out = opaque.convertToFormat(QImage::Format_RGB32)
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb key = maskColor & RGB_MASK;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
        }
    }
    return out;
}

TImageList::TImageList(int width, int height) : width_(width), height_(height) {}

int TImageList::add(const QImage& bitmap) {
    return addImages(bitmap, false, 0);
}

int TImageList::addMasked(const QImage& bitmap, TColor maskColor) {
    return addImages(bitmap, true, ToRgb(maskColor));
}

int TImageList::addImages(const QImage& bitmap, bool masked, QRgb maskColor) {
    const int first = count();
    if (width_ <= 0 || height_ <= 0 || bitmap.isNull())
        return first;
    const QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    for (int x = 0; x + width_ <= source.width(); x += width_) {
        QImage pixels(width_, height_, QImage::Format_RGB32);
        pixels.fill(Qt::black);
        QPainter copy(&pixels);
        copy.drawImage(0, 0, source, x, 0, width_, height_);
        copy.end();
        images_.push_back({pixels, masked ? MaskedImage(pixels, maskColor) : pixels});
    }
    return first;
}

void TImageList::draw(QPainter& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= count())
        return;
    const QImage& drawn = images_[index].drawn;
    canvas.drawImage(x, y, enabled ? drawn : Greyed(drawn));
}

QImage TImageList::getBitmap(int index) const {
    if (index < 0 || index >= count())
        return {};
    return images_[index].pixels;
}

} // namespace pestrel
