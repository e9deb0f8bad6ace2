#pragma once
// A set of equally sized images cut from bitmaps, drawn one at a time. An image added with a mask
// colour leaves the target untouched wherever it has that colour.

#include "toolkit/Color.h"

#include <QImage>
#include <QPainter>
#include <vector>

namespace pestrel {

// `opaque` with every pixel of `maskColor` made fully transparent (premultiplied ARGB).
QImage MaskedImage(const QImage& opaque, QRgb maskColor);

class TImageList {
public:
    TImageList(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    int count() const { return static_cast<int>(images_.size()); }

    // Cuts `bitmap` into images of the list's size from left to right (a remainder column
    // strip is dropped; rows below the image height are ignored). Returns the first new index.
    int add(const QImage& bitmap);
    int addMasked(const QImage& bitmap, TColor maskColor);
    // Draws image `index` at (x, y); disabled images are drawn greyed and embossed. An index out
    // of range draws nothing.
    void draw(QPainter& canvas, int x, int y, int index, bool enabled = true) const;
    // Image `index` as an opaque bitmap (masked pixels keep their colour).
    QImage getBitmap(int index) const;

private:
    int addImages(const QImage& bitmap, bool masked, QRgb maskColor);

    struct Image {
        QImage pixels; // opaque, width x height
        QImage drawn;  // what draw() paints: masked pixels transparent
    };
    int width_;
    int height_;
    std::vector<Image> images_;
};

} // namespace pestrel
