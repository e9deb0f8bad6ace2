#include "toolkit/GraphicFormats.h"

#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

QByteArray Encoded(const char* extension, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(40, 90, 160));
    return FindGraphicFormat(extension)->encode(image).value();
}

// The same stream with its header declaring another size.
QByteArray Declaring(const char* extension, quint32 width, quint32 height) {
    QByteArray data = Encoded(extension, 8, 8);
    uchar* bytes = reinterpret_cast<uchar*>(data.data());
    if (QByteArray(extension) == "bmp") {
        qToLittleEndian<quint32>(width, bytes + 18);
        qToLittleEndian<quint32>(height, bytes + 22);
    } else {
        const qsizetype frame = data.indexOf("\xFF\xC0"); // baseline frame header
        qToBigEndian<quint16>(static_cast<quint16>(height), bytes + frame + 5);
        qToBigEndian<quint16>(static_cast<quint16>(width), bytes + frame + 7);
    }
    return data;
}

class DecodeLimit : public ::testing::Test {
protected:
    ~DecodeLimit() override { QImageReader::setAllocationLimit(kept); }
    const int kept = QImageReader::allocationLimit();
};

TEST_F(DecodeLimit, HeadersDeclaringHugePicturesFailBeforeDecoding) {
    QImageReader::setAllocationLimit(256);
    struct Case {
        const char* extension;
        quint32 width, height;
    } cases[] = {
        {"jpg", 65535, 65535},   {"jpg", 8193, 8192}, // one row past 256 MB
        {"bmp", 100000, 100000}, {"bmp", 8192, 8193}, {"bmp", 0x7FFFFFFF, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        const QByteArray data = Declaring(c.extension, c.width, c.height);
        EXPECT_FALSE(FindGraphicFormat(c.extension)->decode(data))
            << c.extension << " " << c.width << "x" << c.height;
    }
    EXPECT_TRUE(FitsDecodeLimit(8192, 8192));
    EXPECT_FALSE(FitsDecodeLimit(0x7FFFFFFF, 0x7FFFFFFF));
}

TEST_F(DecodeLimit, FollowsTheImageReaderLimit) {
    QImageReader::setAllocationLimit(1); // 1 MB: 512 x 512 fits, 600 x 600 does not
    struct Case {
        const char* extension;
        int side;
        bool loads;
    } cases[] = {
        {"jpg", 512, true},
        {"jpg", 600, false},
        {"bmp", 512, true},
        {"bmp", 600, false},
    };
    for (const Case& c : cases) {
        const std::optional<QImage> image =
            FindGraphicFormat(c.extension)->decode(Encoded(c.extension, c.side, c.side));
        EXPECT_EQ(image.has_value(), c.loads) << c.extension << " " << c.side;
        if (image) {
            EXPECT_EQ(image->size(), QSize(c.side, c.side));
        }
    }
}

} // namespace
} // namespace pestrel
