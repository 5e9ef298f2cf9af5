// Pixel comparison and the difference image.
#include "image_diff.h"

static constexpr uint32_t DIFF_MARK = 0x00FF0000;  // pure red

ImageDiff compare_images(const BmpImage& actual, const BmpImage& expected) {
    ImageDiff diff{0, -1, -1, -1, -1};
    for (int32_t y = 0; y < expected.height; ++y) {
        for (int32_t x = 0; x < expected.width; ++x) {
            size_t at = static_cast<size_t>(y) * static_cast<size_t>(expected.width) + static_cast<size_t>(x);
            if (actual.pixels[at] == expected.pixels[at]) continue;
            if (diff.differing == 0) {
                diff.left = diff.right = x;
                diff.top = diff.bottom = y;
            }
            ++diff.differing;
            if (x < diff.left) diff.left = x;
            if (x > diff.right) diff.right = x;
            diff.bottom = y;  // rows are visited in order
        }
    }
    return diff;
}

// A quarter of the colour, the rest white: light enough that red marks stand out.
static uint32_t faded(uint32_t rgb) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t channel = (rgb >> shift) & 0xFF;
        out |= (255 - (255 - channel) / 4) << shift;
    }
    return out;
}

BmpImage make_diff_image(const BmpImage& actual, const BmpImage& expected) {
    BmpImage image{expected.width, expected.height, expected.pixels};
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = actual.pixels[i] == expected.pixels[i] ? faded(expected.pixels[i]) : DIFF_MARK;
    return image;
}
