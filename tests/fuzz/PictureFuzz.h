#pragma once
// One body for the picture decoder targets: any bytes decode to nothing or to a picture within
// the allocation limit, which encodes and decodes again to the same size.

#include "toolkit/GraphicFormats.h"

#include <QImageReader>
#include <cstdlib>

namespace pestrel::fuzz {

inline int DecodeAny(const char* extension, const std::uint8_t* data, std::size_t size) {
    // A small limit keeps each run short; the decoders read it the same way at any size.
    static const bool limited = (QImageReader::setAllocationLimit(16), true);
    (void)limited;
    static const TGraphicFormat format = FindGraphicFormat(extension).value();
    const std::optional<QImage> image = format.decode(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!image)
        return 0;
    if (image->isNull() || !FitsDecodeLimit(image->width(), image->height()))
        std::abort();
    const std::optional<QByteArray> encoded = format.encode(*image);
    const std::optional<QImage> again = encoded ? format.decode(*encoded) : std::nullopt;
    if (!again || again->size() != image->size())
        std::abort(); // a decoded picture does not survive its own format
    return 0;
}

} // namespace pestrel::fuzz
