#include "skin/SUIPublic.h"
#include "skin/containers/SUIImagePanel.h"

#include <QImage>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

QRgb Pixel(QWidget& widget, int x, int y) {
    return widget.grab().toImage().pixel(x, y) | 0xFF000000;
}

// 2 x 2: red, green / blue, white.
QImage FourColors() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    return image;
}

TEST(ImagePanel, AutoSizeFollowsThePictureExceptAlongItsAlign) {
    struct Case {
        TAlign align;
        QSize expected;
    } cases[] = {
        {TAlign::alNone, {100, 40}},  {TAlign::alTop, {300, 40}},    {TAlign::alBottom, {300, 40}},
        {TAlign::alLeft, {100, 200}}, {TAlign::alRight, {100, 200}}, {TAlign::alClient, {300, 200}},
    };
    for (const Case& c : cases) {
        QWidget parent;
        parent.resize(300, 200);
        TsuiImagePanel panel(&parent);
        panel.setAlign(c.align);
        panel.setAutoSize(true);
        panel.setPicture(QImage(100, 40, QImage::Format_RGB32));
        EXPECT_EQ(panel.size(), c.expected) << static_cast<int>(c.align);
    }
}

TEST(ImagePanel, AnAlignedPanelFollowsItsParent) {
    QWidget parent;
    parent.resize(300, 200);
    TsuiImagePanel panel(&parent);
    panel.resize(50, 30);
    panel.setAlign(TAlign::alBottom);
    parent.show();
    parent.resize(400, 250);
    EXPECT_EQ(panel.geometry(), QRect(0, 220, 400, 30));
}

TEST(ImagePanel, DrawModes) {
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255), blue = qRgb(0, 0, 255),
               color = qRgb(0x12, 0x34, 0x56);
    struct Case {
        TsuiDrawStyle style;
        QPoint probe;
        QRgb expected;
    } cases[] = {
        {TsuiDrawStyle::suiNormal, {1, 1}, white},
        {TsuiDrawStyle::suiNormal, {5, 5}, color},
        {TsuiDrawStyle::suiTile, {4, 0}, red},
        {TsuiDrawStyle::suiTile, {7, 9}, white},
        {TsuiDrawStyle::suiStretch, {4, 9}, blue},
        {TsuiDrawStyle::suiStretch, {9, 0}, qRgb(0, 255, 0)},
    };
    for (const Case& c : cases) {
        TsuiImagePanel panel;
        panel.resize(10, 10);
        panel.setColor(0x00563412);
        panel.setDrawStyle(c.style);
        panel.setPicture(FourColors());
        EXPECT_EQ(Pixel(panel, c.probe.x(), c.probe.y()), c.expected)
            << static_cast<int>(c.style) << " at " << c.probe.x() << "," << c.probe.y();
    }
}

bool Shows(const QImage& image, QRgb color) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000) == color)
                return true;
    return false;
}

TEST(ImagePanel, ADisabledPanelEngravesItsCaption) {
    TsuiImagePanel panel;
    panel.resize(120, 30);
    panel.setColor(0x00800000); // dark blue, where a pale caption passes for enabled white
    panel.setCaption("Caption");
    QPalette palette = panel.palette();
    palette.setColor(QPalette::WindowText, Qt::red); // every colour group
    panel.setPalette(palette);
    QFont font = panel.font();
    font.setStyleStrategy(QFont::NoAntialias); // pixels of the text colour itself
    panel.setFont(font);
    for (bool enabled : {true, false}) {
        panel.setEnabled(enabled);
        const QImage shown = panel.grab().toImage();
        EXPECT_EQ(Shows(shown, qRgb(255, 0, 0)), enabled) << enabled;
        EXPECT_EQ(Shows(shown, DisabledCaptionGrey), !enabled) << enabled;
    }
}

TEST(ImagePanel, TransparentShowsTheParentAroundThePictureAndWhereItHasItsBottomLeftColor) {
    QWidget parent;
    parent.resize(40, 40);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, qRgb(10, 200, 30));
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    TsuiImagePanel panel(&parent);
    panel.setGeometry(5, 5, 10, 10);
    panel.setColor(clWhite);
    EXPECT_EQ(Pixel(panel, 3, 3), qRgb(255, 255, 255)); // no picture, opaque: its colour

    panel.setPicture(FourColors()); // keyed on its bottom-left blue
    panel.setTransparent(true);
    EXPECT_EQ(Pixel(panel, 0, 1), qRgb(10, 200, 30));
    EXPECT_EQ(Pixel(panel, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(panel, 1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(Pixel(panel, 6, 6), qRgb(10, 200, 30));
}

} // namespace
} // namespace pestrel
