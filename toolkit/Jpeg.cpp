#include "toolkit/Jpeg.h"

#include "toolkit/GraphicFormats.h"

#include <QImageReader>
#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <limits>
#include <vector>

namespace pestrel {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back out.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}
void OnMessage(j_common_ptr) {} // warnings stay quiet

void InitErrors(ErrorManager& errors) {
    jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.output_message = OnMessage;
}

// The decoding itself. No C++ object with a destructor may live in a frame that longjmp leaves,
// so the output image is created by the caller and filled here.
bool Decode(const QByteArray& data, QImage& out) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    InitErrors(errors);
    info.err = &errors.base;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (!FitsDecodeLimit(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Progressive and multi-scan streams buffer every coefficient of the picture; without a
    // backing store, libjpeg fails instead of going past this.
    // The limit is in megabytes; where long is 32 bits its byte count can exceed long.
    const std::int64_t limitBytes = std::int64_t{QImageReader::allocationLimit()} * 1024 * 1024;
    info.mem->max_memory_to_use =
        static_cast<long>(std::min<std::int64_t>(limitBytes, std::numeric_limits<long>::max()));
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
    if (out.isNull()) { // too large to hold
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool Encode(const QImage& rgb, int quality, unsigned char*& buffer, unsigned long& size) {
    jpeg_compress_struct info;
    ErrorManager errors;
    InitErrors(errors);
    info.err = &errors.base;
    if (setjmp(errors.escape)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

std::optional<QImage> DecodeJpeg(const QByteArray& data) {
    QImage image;
    if (data.isEmpty() || !Decode(data, image))
        return std::nullopt;
    return image.convertToFormat(QImage::Format_RGB32);
}

std::optional<QByteArray> EncodeJpeg(const QImage& image, int quality) {
    if (image.isNull())
        return std::nullopt;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Encode(rgb, std::clamp(quality, 1, 100), buffer, size);
    std::optional<QByteArray> result;
    if (ok)
        result = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return result;
}

} // namespace pestrel
