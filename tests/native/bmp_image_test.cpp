// The BMP header the canvas file gets, and the reader: images it takes back exactly, and
// damaged or unusual files it refuses with a reason instead of reading past their end.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "korva/platform/bmp_image.h"

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

BmpImage pattern(int32_t width, int32_t height) {
    BmpImage image{width, height, {}};
    for (int32_t i = 0; i < width * height; ++i) image.pixels.push_back(0x010203u * static_cast<uint32_t>(i + 1) & 0xFFFFFF);
    return image;
}

TEST(BmpHeader, CanvasFileLayout) {
    uint8_t header[BMP_HEADER_SIZE];
    make_bmp_header(601, 540, header);
    std::vector<uint8_t> b(header, header + BMP_HEADER_SIZE);
    EXPECT_EQ('B', b[0]);
    EXPECT_EQ('M', b[1]);
    EXPECT_EQ(1804u * 540 + 54, le32(b, 2)) << "file size: rows of 601 * 3 = 1803 bytes padded to 1804";
    EXPECT_EQ(54u, le32(b, 10)) << "pixel offset";
    EXPECT_EQ(40u, le32(b, 14)) << "information header size";
    EXPECT_EQ(601u, le32(b, 18));
    EXPECT_EQ(540u, le32(b, 22)) << "positive height: bottom row first";
    EXPECT_EQ(1u | 24u << 16, le32(b, 26)) << "one plane, 24 bits";
    EXPECT_EQ(0u, le32(b, 30)) << "no compression";
    EXPECT_EQ(1804u * 540, le32(b, 34));
}

TEST(BmpHeader, RowStridePadsToFourBytes) {
    const struct {
        int32_t width;
        size_t stride;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {601, 1804}};
    for (const auto& c : cases) EXPECT_EQ(c.stride, bmp_row_stride(c.width)) << "width " << c.width;
}

// Every width modulo 4 exercises a different padding; the bottom-up order must come back top-down.
TEST(BmpRoundTrip, EncodedImagesDecodeToTheSamePixels) {
    for (int32_t width : {1, 2, 3, 4, 5, 7}) {
        BmpImage image = pattern(width, 3);
        std::vector<uint8_t> file = encode_bmp(image);
        BmpImage back;
        ASSERT_EQ(nullptr, decode_bmp(file.data(), file.size(), &back)) << "width " << width;
        EXPECT_EQ(width, back.width);
        EXPECT_EQ(3, back.height);
        EXPECT_EQ(image.pixels, back.pixels) << "width " << width;
    }
}

TEST(BmpRoundTrip, BottomRowComesFirstInTheFile) {
    BmpImage image{1, 2, {0x112233, 0xAABBCC}};  // top red-ish, bottom
    std::vector<uint8_t> file = encode_bmp(image);
    EXPECT_EQ(0xCC, file[54]);  // the bottom row's blue byte
    EXPECT_EQ(0xBB, file[55]);
    EXPECT_EQ(0xAA, file[56]);
    EXPECT_EQ(0x33, file[58]);  // the top row, after 4 bytes of padded row
}

// A 32-bit top-down image as other tools write them, with and without channel masks.
std::vector<uint8_t> top_down_32(bool with_masks) {
    size_t offset = with_masks ? 66 : 54;
    std::vector<uint8_t> b(offset + 8, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<uint32_t>(b.size()));
    put32(b, 10, static_cast<uint32_t>(offset));
    put32(b, 14, 40);
    put32(b, 18, 1);
    put32(b, 22, static_cast<uint32_t>(-2));
    put32(b, 26, 1 | 32 << 16);
    put32(b, 30, with_masks ? 3 : 0);
    if (with_masks) {
        put32(b, 54, 0xFF0000);
        put32(b, 58, 0x00FF00);
        put32(b, 62, 0x0000FF);
    }
    put32(b, offset, 0xFF112233);      // top
    put32(b, offset + 4, 0xFF445566);  // bottom
    return b;
}

TEST(BmpDecode, ThirtyTwoBitTopDown) {
    for (bool masks : {false, true}) {
        std::vector<uint8_t> file = top_down_32(masks);
        BmpImage image;
        ASSERT_EQ(nullptr, decode_bmp(file.data(), file.size(), &image)) << "masks " << masks;
        EXPECT_EQ((std::vector<uint32_t>{0x112233, 0x445566}), image.pixels) << "alpha dropped, top row first";
    }
}

struct Damage {
    const char* name;
    void (*apply)(std::vector<uint8_t>& file);
    const char* reason_part;
};

const Damage DAMAGES[] = {
    {"empty", [](std::vector<uint8_t>& f) { f.clear(); }, "too short"},
    {"cut inside the header", [](std::vector<uint8_t>& f) { f.resize(40); }, "too short"},
    {"no BM", [](std::vector<uint8_t>& f) { f[0] = 'P'; }, "not a BMP"},
    {"8 bits", [](std::vector<uint8_t>& f) { f[28] = 8; }, "24- or 32-bit"},
    {"two planes", [](std::vector<uint8_t>& f) { f[26] = 2; }, "plane"},
    {"run-length compressed", [](std::vector<uint8_t>& f) { put32(f, 30, 1); }, "compressed"},
    {"24-bit with masks", [](std::vector<uint8_t>& f) { put32(f, 30, 3); }, "compressed"},
    {"zero width", [](std::vector<uint8_t>& f) { put32(f, 18, 0); }, "size out of range"},
    {"negative width", [](std::vector<uint8_t>& f) { put32(f, 18, static_cast<uint32_t>(-5)); }, "size out of range"},
    {"zero height", [](std::vector<uint8_t>& f) { put32(f, 22, 0); }, "size out of range"},
    {"height INT32_MIN", [](std::vector<uint8_t>& f) { put32(f, 22, 0x80000000u); }, "size out of range"},
    {"huge width", [](std::vector<uint8_t>& f) { put32(f, 18, 0x7FFFFFFF); }, "size out of range"},
    {"pixels cut short", [](std::vector<uint8_t>& f) { f.pop_back(); }, "cut short"},
    {"pixel offset past the end", [](std::vector<uint8_t>& f) { put32(f, 10, 0xFFFFFFF0u); }, "cut short"},
    {"pixel offset inside the header", [](std::vector<uint8_t>& f) { put32(f, 10, 2); }, "cut short"},
    {"height larger than the data", [](std::vector<uint8_t>& f) { put32(f, 22, 4000); }, "cut short"},
    {"information header larger than the file", [](std::vector<uint8_t>& f) { put32(f, 14, 0xFFFFFFFFu); },
     "information header"},
    {"information header too small", [](std::vector<uint8_t>& f) { put32(f, 14, 12); }, "information header"},
};

TEST(BmpDecode, DamagedFilesAreRefusedWithAReason) {
    for (const Damage& d : DAMAGES) {
        std::vector<uint8_t> file = encode_bmp(pattern(3, 2));
        d.apply(file);
        // Copied to an allocation of exactly its size, so reading past it is caught by the sanitizer.
        std::vector<uint8_t> exact(file);
        BmpImage image{9, 9, {1}};
        const char* reason = decode_bmp(exact.empty() ? nullptr : exact.data(), exact.size(), &image);
        ASSERT_NE(nullptr, reason) << d.name;
        EXPECT_NE(nullptr, strstr(reason, d.reason_part)) << d.name << ": got \"" << reason << "\"";
        EXPECT_EQ(0, image.width) << d.name;
        EXPECT_TRUE(image.pixels.empty()) << d.name;
    }
}

TEST(BmpDecode, UnusualMasksAreRefused) {
    std::vector<uint8_t> file = top_down_32(true);
    put32(file, 54, 0x0000FF);  // red and blue swapped
    put32(file, 62, 0xFF0000);
    BmpImage image;
    const char* reason = decode_bmp(file.data(), file.size(), &image);
    ASSERT_NE(nullptr, reason);
    EXPECT_NE(nullptr, strstr(reason, "masks"));
}

}  // namespace
