// Any bytes as a BMP file.
#include "PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return pestrel::fuzz::DecodeAny("bmp", data, size);
}
