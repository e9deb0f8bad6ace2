// Any bytes as a JPEG file.
#include "PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return pestrel::fuzz::DecodeAny("jpg", data, size);
}
