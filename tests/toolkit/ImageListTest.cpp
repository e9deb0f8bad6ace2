#include "toolkit/ImageList.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

const QRgb Key = qRgb(255, 0, 255);
const QRgb Ink = qRgb(10, 20, 30);
const QRgb Paper = qRgb(200, 200, 200);

// Three 2 x 2 images side by side plus one spare column; each image's first pixel is the key.
QImage Strip() {
    QImage strip(7, 3, QImage::Format_RGB32);
    strip.fill(Ink);
    for (int i = 0; i < 3; ++i)
        strip.setPixel(i * 2, 0, Key);
    strip.setPixel(1, 1, qRgb(1, 1, 1));
    strip.setPixel(3, 1, qRgb(2, 2, 2));
    return strip;
}

QImage Canvas() {
    QImage canvas(6, 6, QImage::Format_RGB32);
    canvas.fill(Paper);
    return canvas;
}

TEST(ImageList, CutsEqualImagesAndDropsTheRemainder) {
    TImageList list(2, 2);
    EXPECT_EQ(list.add(Strip()), 0);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.getBitmap(0).pixel(1, 1), qRgb(1, 1, 1));
    EXPECT_EQ(list.getBitmap(1).pixel(1, 1), qRgb(2, 2, 2));
    EXPECT_EQ(list.getBitmap(1).size(), QSize(2, 2));
    EXPECT_EQ(list.addMasked(Strip(), Key), 3);
    EXPECT_TRUE(list.getBitmap(6).isNull());
}

TEST(ImageList, MaskedDrawingLeavesKeyPixelsUntouched) {
    for (const bool masked : {false, true}) {
        TImageList list(2, 2);
        masked ? list.addMasked(Strip(), TColor(0x00FF00FF)) : list.add(Strip());
        QImage canvas = Canvas();
        QPainter p(&canvas);
        list.draw(p, 3, 2, 1);
        p.end();
        EXPECT_EQ(canvas.pixel(3, 2), masked ? Paper : Key) << masked;
        EXPECT_EQ(canvas.pixel(4, 3), qRgb(2, 2, 2));
        EXPECT_EQ(canvas.pixel(4, 2), Ink);
        EXPECT_EQ(canvas.pixel(2, 2), Paper); // nothing outside the image
        EXPECT_EQ(canvas.pixel(5, 4), Paper);
        // The bitmap taken out keeps the key colour.
        EXPECT_EQ(list.getBitmap(1).pixel(0, 0), Key);
    }
}

TEST(ImageList, DisabledDrawingIsGreyedAndMasked) {
    TImageList list(2, 2);
    list.addMasked(Strip(), TColor(0x00FF00FF));
    QImage canvas = Canvas();
    QPainter p(&canvas);
    list.draw(p, 1, 1, 0, false);
    list.draw(p, 1, 1, 7); // out of range: nothing
    p.end();
    EXPECT_EQ(canvas.pixel(1, 1), Paper) << "the key stays transparent";
    bool changed = false;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const QRgb c = canvas.pixel(x, y);
            EXPECT_NE(c, Ink) << "greyed drawing never shows the image's own colour";
            EXPECT_EQ(qRed(c), qBlue(c)) << "grey only";
            changed |= c != Paper;
        }
    }
    EXPECT_TRUE(changed);
}

} // namespace
} // namespace pestrel
