#pragma once
// JPEG coding through libjpeg.

#include <QByteArray>
#include <QImage>
#include <optional>

namespace pestrel {

// None for data that is not a decodable JPEG.
std::optional<QImage> DecodeJpeg(const QByteArray& data);
// Encodes as a baseline colour JPEG of `quality` (1..100); none for a null image.
std::optional<QByteArray> EncodeJpeg(const QImage& image, int quality = 90);

} // namespace pestrel
