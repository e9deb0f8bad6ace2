#include "toolkit/Picture.h"

#include "toolkit/GraphicFormats.h"
#include "toolkit/Jpeg.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace pestrel {
namespace {

// Smooth colour ramps survive JPEG coding nearly unchanged.
QImage Ramp(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), 128));
    return image;
}

int MaxChannelDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

TEST(GraphicFormats, JpegIsRegisteredUnderBothExtensions) {
    for (const char* extension : {"jpeg", "jpg", "JPG", ".jpeg"}) {
        const std::optional<TGraphicFormat> format = FindGraphicFormat(extension);
        ASSERT_TRUE(format) << extension;
        EXPECT_EQ(format->description, "JPEG Image File");
    }
    EXPECT_TRUE(FindGraphicFormat("bmp"));
    EXPECT_FALSE(FindGraphicFormat("gif"));
    EXPECT_FALSE(FindGraphicFormat(""));
}

TEST(Picture, JpegRoundTripThroughTheRegistry) {
    QTemporaryDir dir;
    const QImage original = Ramp(64, 48);
    for (const char* name : {"/ramp.jpg", "/ramp.JPEG"}) {
        const QString path = dir.path() + name;
        TPicture(original).saveToFile(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(3).startsWith("\xFF\xD8\xFF")) << "a JPEG stream";
        file.close();

        TPicture loaded;
        loaded.loadFromFile(path);
        ASSERT_EQ(loaded.width(), 64);
        ASSERT_EQ(loaded.height(), 48);
        EXPECT_LE(MaxChannelDifference(loaded.bitmap(), original), 12);
    }
}

TEST(Picture, BmpRoundTripIsExact) {
    QTemporaryDir dir;
    const QImage original = Ramp(13, 7);
    TPicture(original).saveToFile(dir.path() + "/x.bmp");
    TPicture loaded;
    loaded.loadFromFile(dir.path() + "/x.bmp");
    EXPECT_EQ(MaxChannelDifference(loaded.bitmap(), original), 0);
}

TEST(Picture, BadFilesThrowAndLeaveThePictureAlone) {
    QTemporaryDir dir;
    const QImage kept = Ramp(5, 5);
    QFile garbage(dir.path() + "/broken.jpg");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\xFF\xD8\xFF\xE0 this is not really a JPEG");
    garbage.close();

    // A real JPEG cut short after its header decodes partly or fails; it must not crash.
    const QByteArray whole = *EncodeJpeg(Ramp(64, 64));
    QFile truncated(dir.path() + "/truncated.jpg");
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(whole.left(40));
    truncated.close();

    for (const QString name : {"/broken.jpg", "/missing.jpg", "/image.gif", "/truncated.jpg"}) {
        TPicture picture(kept);
        EXPECT_THROW(picture.loadFromFile(dir.path() + name), std::runtime_error)
            << name.toStdString();
        EXPECT_EQ(picture.bitmap(), kept);
    }
    EXPECT_THROW(TPicture().saveToFile(dir.path() + "/empty.bmp"), std::runtime_error);
    EXPECT_THROW(TPicture(kept).saveToFile(dir.path() + "/x.gif"), std::runtime_error);
    EXPECT_THROW(TPicture(kept).saveToFile(dir.path() + "/no/such/folder/x.jpg"),
                 std::runtime_error);
}

TEST(Jpeg, RejectsEmptyInput) {
    EXPECT_FALSE(DecodeJpeg(QByteArray()));
    EXPECT_FALSE(EncodeJpeg(QImage()));
}

TEST(GraphicFormats, ARegisteredFormatReplacesTheOldOne) {
    int decoded = 0;
    RegisterGraphicFormat({"TST", "Test",
                           [&](const QByteArray&) {
                               ++decoded;
                               return std::optional<QImage>(Ramp(2, 2));
                           },
                           [](const QImage&) { return std::optional<QByteArray>("x"); }});
    RegisterGraphicFormat({"tst", "Test 2",
                           [&](const QByteArray&) {
                               decoded += 10;
                               return std::optional<QImage>(Ramp(3, 3));
                           },
                           [](const QImage&) { return std::optional<QByteArray>("y"); }});
    QTemporaryDir dir;
    TPicture(Ramp(4, 4)).saveToFile(dir.path() + "/a.tst");
    TPicture loaded;
    loaded.loadFromFile(dir.path() + "/a.tst");
    EXPECT_EQ(decoded, 10);
    EXPECT_EQ(loaded.width(), 3);
    EXPECT_EQ(FindGraphicFormat("tst")->description, "Test 2");
}

} // namespace
} // namespace pestrel
