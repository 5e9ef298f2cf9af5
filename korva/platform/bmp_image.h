// The BMP file format, as far as canvas files need it: the header of a 24-bit bottom-up image,
// and a bounds-checked reader of uncompressed 24- and 32-bit images. Platform-free.
#ifndef KORVA_PLATFORM_BMP_IMAGE_H
#define KORVA_PLATFORM_BMP_IMAGE_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

// File header (14 bytes) and information header (40 bytes) of the images written here.
constexpr size_t BMP_HEADER_SIZE = 54;

// The reader refuses images wider or higher than this, whatever their header claims.
constexpr int32_t BMP_MAX_SIDE = 16384;

// An image in memory: the top row first, each pixel 0x00RRGGBB.
struct BmpImage {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;
};

// Bytes per row of a 24-bit image: three per pixel, padded to a multiple of four.
size_t bmp_row_stride(int32_t width);

// Writes the header of a 24-bit, uncompressed, bottom-up image of this size into `out`.
void make_bmp_header(int32_t width, int32_t height, uint8_t out[BMP_HEADER_SIZE]);

// The whole file of an image, as make_bmp_header describes it.
std::vector<uint8_t> encode_bmp(const BmpImage& image);

// Reads a BMP file held in memory. Returns null on success, else a one-line reason why the
// bytes are not an image this reader takes; `out` is then left empty. Reads nothing beyond
// `size` bytes, whatever the header says.
const char* decode_bmp(const uint8_t* data, size_t size, BmpImage* out);

#endif
