// Fuzz target for the BMP reader that checks expected images. Any byte string must be read
// without a fault or an overrun; an image it accepts must have the size its pixels say, and
// must survive being written and read again unchanged.
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "korva/platform/bmp_image.h"

static void check(bool condition) {
    if (!condition) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly this size, so any read beyond it is caught.
    std::vector<uint8_t> bytes(data, data + size);
    BmpImage image;
    const char* reason = decode_bmp(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &image);
    if (reason != nullptr) {
        check(image.width == 0 && image.height == 0 && image.pixels.empty());
        return 0;
    }
    check(image.width > 0 && image.height > 0 && image.width <= BMP_MAX_SIDE && image.height <= BMP_MAX_SIDE);
    check(image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    for (uint32_t pixel : image.pixels) check(pixel <= 0xFFFFFF);
    std::vector<uint8_t> again = encode_bmp(image);
    BmpImage back;
    check(decode_bmp(again.data(), again.size(), &back) == nullptr);
    check(back.width == image.width && back.height == image.height && back.pixels == image.pixels);
    return 0;
}
