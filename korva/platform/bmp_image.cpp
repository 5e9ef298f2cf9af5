// BMP headers and the bounds-checked BMP reader. All numbers in the file are little-endian.
#include "korva/platform/bmp_image.h"

static constexpr size_t FILE_HEADER_SIZE = 14;
static constexpr uint32_t INFO_HEADER_SIZE = 40;
static constexpr uint32_t COMPRESSION_NONE = 0;
static constexpr uint32_t COMPRESSION_BITFIELDS = 3;
static constexpr int32_t PIXELS_PER_METRE = 2835;  // 72 dots per inch

static void put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

static void put32(uint8_t* at, uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

static uint32_t get16(const uint8_t* at) { return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8; }

static uint32_t get32(const uint8_t* at) { return get16(at) | get16(at + 2) << 16; }

size_t bmp_row_stride(int32_t width) { return (static_cast<size_t>(width) * 3 + 3) / 4 * 4; }

void make_bmp_header(int32_t width, int32_t height, uint8_t out[BMP_HEADER_SIZE]) {
    size_t pixel_bytes = bmp_row_stride(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < BMP_HEADER_SIZE; ++i) out[i] = 0;
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, static_cast<uint32_t>(BMP_HEADER_SIZE + pixel_bytes));
    put32(out + 10, static_cast<uint32_t>(BMP_HEADER_SIZE));
    put32(out + 14, INFO_HEADER_SIZE);
    put32(out + 18, static_cast<uint32_t>(width));
    put32(out + 22, static_cast<uint32_t>(height));  // positive: the bottom row comes first
    put16(out + 26, 1);                               // planes
    put16(out + 28, 24);                              // bits per pixel
    put32(out + 30, COMPRESSION_NONE);
    put32(out + 34, static_cast<uint32_t>(pixel_bytes));
    put32(out + 38, PIXELS_PER_METRE);
    put32(out + 42, PIXELS_PER_METRE);
}

std::vector<uint8_t> encode_bmp(const BmpImage& image) {
    size_t stride = bmp_row_stride(image.width);
    std::vector<uint8_t> file(BMP_HEADER_SIZE + stride * static_cast<size_t>(image.height), 0);
    make_bmp_header(image.width, image.height, file.data());
    for (int32_t row = 0; row < image.height; ++row) {
        // The file's first row is the image's bottom row.
        uint8_t* line = file.data() + BMP_HEADER_SIZE + stride * static_cast<size_t>(image.height - 1 - row);
        const uint32_t* source = image.pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(image.width);
        for (int32_t x = 0; x < image.width; ++x) {
            line[3 * x] = static_cast<uint8_t>(source[x]);            // blue
            line[3 * x + 1] = static_cast<uint8_t>(source[x] >> 8);   // green
            line[3 * x + 2] = static_cast<uint8_t>(source[x] >> 16);  // red
        }
    }
    return file;
}

const char* decode_bmp(const uint8_t* data, size_t size, BmpImage* out) {
    out->width = 0;
    out->height = 0;
    out->pixels.clear();
    if (data == nullptr || size < FILE_HEADER_SIZE + INFO_HEADER_SIZE) return "too short for a BMP header";
    if (data[0] != 'B' || data[1] != 'M') return "not a BMP file (no \"BM\" at the start)";
    uint32_t pixel_offset = get32(data + 10);
    uint32_t info_size = get32(data + 14);
    // 40 is the classic header; 108 and 124 extend it and keep its first 40 bytes.
    if (info_size < INFO_HEADER_SIZE || info_size > size - FILE_HEADER_SIZE) return "unknown BMP information header";
    int32_t width = static_cast<int32_t>(get32(data + 18));
    int32_t raw_height = static_cast<int32_t>(get32(data + 22));
    uint32_t planes = get16(data + 26);
    uint32_t bits = get16(data + 28);
    uint32_t compression = get32(data + 30);
    if (planes != 1) return "BMP with a plane count other than 1";
    if (bits != 24 && bits != 32) return "not a 24- or 32-bit BMP";
    // 32-bit images may name their channel masks; only the plain layout is taken, checked below.
    if (compression != COMPRESSION_NONE && !(bits == 32 && compression == COMPRESSION_BITFIELDS))
        return "compressed BMP";
    if (compression == COMPRESSION_BITFIELDS) {
        // The masks follow the classic header, inside a longer header or after a short one.
        if (size < FILE_HEADER_SIZE + INFO_HEADER_SIZE + 12) return "BMP channel masks missing";
        const uint8_t* masks = data + FILE_HEADER_SIZE + INFO_HEADER_SIZE;
        if (get32(masks) != 0x00FF0000 || get32(masks + 4) != 0x0000FF00 || get32(masks + 8) != 0x000000FF)
            return "BMP with unusual channel masks";
    }
    // INT32_MIN has no positive counterpart, so it is refused with every other oversized value.
    bool top_down = raw_height < 0;
    if (width <= 0 || raw_height == 0 || raw_height < -BMP_MAX_SIDE || raw_height > BMP_MAX_SIDE ||
        width > BMP_MAX_SIDE)
        return "BMP size out of range";
    int32_t height = top_down ? -raw_height : raw_height;

    size_t bytes_per_pixel = bits / 8;
    size_t stride = (static_cast<size_t>(width) * bytes_per_pixel + 3) / 4 * 4;
    // Both factors are bounded above, so the product cannot overflow.
    size_t pixel_bytes = stride * static_cast<size_t>(height);
    if (pixel_offset < FILE_HEADER_SIZE + INFO_HEADER_SIZE || pixel_offset > size || size - pixel_offset < pixel_bytes)
        return "BMP pixel data missing or cut short";

    out->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t row = 0; row < height; ++row) {
        int32_t file_row = top_down ? row : height - 1 - row;
        const uint8_t* line = data + pixel_offset + stride * static_cast<size_t>(file_row);
        uint32_t* target = out->pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width);
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = line + bytes_per_pixel * static_cast<size_t>(x);
            target[x] = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        }
    }
    out->width = width;
    out->height = height;
    return nullptr;
}
