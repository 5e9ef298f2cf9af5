// Comparing a canvas with its expected image, pixel for pixel, and the picture of the
// difference. Platform-free.
#ifndef KORVA_TOOLS_IMAGE_DIFF_H
#define KORVA_TOOLS_IMAGE_DIFF_H

#include <stdint.h>

#include "korva/platform/bmp_image.h"

struct ImageDiff {
    int64_t differing;  // pixels whose colours differ
    int32_t left;       // the smallest box that holds them, inclusive, in image pixels (top row 0);
    int32_t top;        // all four are -1 when no pixel differs
    int32_t right;
    int32_t bottom;
};

// Both images must be of one size (the caller checks); compares every pixel.
ImageDiff compare_images(const BmpImage& actual, const BmpImage& expected);

// The expected image faded towards white, with every differing pixel in pure red, so the
// places stand out against what should be there.
BmpImage make_diff_image(const BmpImage& actual, const BmpImage& expected);

#endif
