#include "toolkit/GraphicFormats.h"

#include "toolkit/Jpeg.h"

#include <QBuffer>
#include <QImageReader>
#include <mutex>

namespace pestrel {
namespace {

QString Normalised(QString extension) {
    if (extension.startsWith(u'.'))
        extension.remove(0, 1);
    return extension.toLower();
}

// The header alone gives the size; the pixels are read only when it fits.
std::optional<QImage> DecodeBmp(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    const QSize size = reader.size();
    if (!size.isValid() || !FitsDecodeLimit(size.width(), size.height()))
        return std::nullopt;
    QImage image;
    if (!reader.read(&image))
        return std::nullopt;
    return image;
}

std::optional<QByteArray> EncodeBmp(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
        return std::nullopt;
    return data;
}

struct Registry {
    std::mutex mutex;
    std::vector<TGraphicFormat> formats;

    Registry() {
        formats.push_back({QStringLiteral("bmp"), QStringLiteral("Bitmaps"), DecodeBmp, EncodeBmp});
        const auto encodeJpeg = [](const QImage& image) { return EncodeJpeg(image); };
        for (const char* extension : {"jpeg", "jpg"})
            formats.push_back({QString::fromLatin1(extension), QStringLiteral("JPEG Image File"),
                               DecodeJpeg, encodeJpeg});
    }
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

bool FitsDecodeLimit(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0)
        return false;
    const qint64 limitBytes = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    // Width and height come from header fields of at most 32 bits, so the product fits.
    return limitBytes == 0 || width * height <= limitBytes / 4;
}

void RegisterGraphicFormat(TGraphicFormat format) {
    format.extension = Normalised(format.extension);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (TGraphicFormat& existing : registry.formats) {
        if (existing.extension == format.extension) {
            existing = std::move(format);
            return;
        }
    }
    registry.formats.push_back(std::move(format));
}

std::optional<TGraphicFormat> FindGraphicFormat(const QString& extension) {
    const QString wanted = Normalised(extension);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (const TGraphicFormat& format : registry.formats) {
        if (format.extension == wanted)
            return format;
    }
    return std::nullopt;
}

std::vector<TGraphicFormat> GraphicFormats() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.formats;
}

} // namespace pestrel
