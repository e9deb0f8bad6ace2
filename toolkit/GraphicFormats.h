#pragma once
// The graphic-format registry of pictures: file extension -> description and codec. BMP is built
// in; JPEG (through libjpeg) is registered when the registry is first used, for "jpeg" and "jpg".

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace pestrel {

struct TGraphicFormat {
    QString extension; // lower case, without the dot
    QString description;
    std::function<std::optional<QImage>(const QByteArray&)> decode;
    std::function<std::optional<QByteArray>(const QImage&)> encode;
};

// Adds or replaces the format for `format.extension` (compared without case).
void RegisterGraphicFormat(TGraphicFormat format);
// The format for an extension ("JPG", ".jpg" and "jpg" are the same), or none.
std::optional<TGraphicFormat> FindGraphicFormat(const QString& extension);
std::vector<TGraphicFormat> GraphicFormats();

// Whether a decoded picture of `width` x `height` stays within the image reader's allocation
// limit (QImageReader::allocationLimit(), 256 MB unless changed), counted at four bytes a pixel,
// the form pictures are drawn in. Decoders ask before they allocate anything for the pixels.
bool FitsDecodeLimit(qint64 width, qint64 height);

} // namespace pestrel
