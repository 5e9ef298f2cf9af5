// BMP through the harness's own reader, PNG through the platform's component.
#include "picture_file.h"

#include <windows.h>

#include <string.h>

#include "korva/korva.h"
#include "korva/platform/wic_codec.h"

static bool is_png(const std::vector<uint8_t>& bytes) {
    static const uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return bytes.size() >= 8 && memcmp(bytes.data(), SIGNATURE, 8) == 0;
}

const char* decode_picture(const std::vector<uint8_t>& bytes, BmpImage* out) {
    if (!is_png(bytes)) return decode_bmp(bytes.data(), bytes.size(), out);
    WicPicture picture;
    if (const char* why = wic_open_memory(bytes.data(), bytes.size(), &picture)) return why;
    const char* why = nullptr;
    // The library's own limit for pictures: past it the pixels alone would take gigabytes.
    static_assert(KORVA_MAX_PICTURE_SIDE == 4096, "the reason below names the limit");
    const uint32_t limit = static_cast<uint32_t>(KORVA_MAX_PICTURE_SIDE);
    if (picture.width > limit || picture.height > limit) {
        why = "a PNG larger than 4096 x 4096 pixels";
    } else {
        std::vector<uint32_t> bgra(static_cast<size_t>(picture.width) * picture.height);
        if (wic_copy_premultiplied(picture, bgra.data(), picture.width * 4) != nullptr) {
            why = "a PNG that cannot be read";
        } else {
            out->width = static_cast<int32_t>(picture.width);
            out->height = static_cast<int32_t>(picture.height);
            out->pixels.resize(bgra.size());
            // 0xAARRGGBB in memory order B, G, R, A: the colour is the low three bytes.
            for (size_t i = 0; i < bgra.size(); ++i) out->pixels[i] = bgra[i] & 0xFFFFFF;
        }
    }
    wic_close(&picture);
    return why;
}

bool encode_picture_for(const std::string& path, const BmpImage& image, std::vector<uint8_t>* bytes) {
    if (!png_file_name(path.c_str())) {
        *bytes = encode_bmp(image);
        return true;
    }
    const size_t stride = bmp_row_stride(image.width);
    std::vector<uint8_t> rows(stride * static_cast<size_t>(image.height), 0);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            uint32_t rgb = image.pixels[static_cast<size_t>(y) * image.width + x];
            uint8_t* p = &rows[y * stride + static_cast<size_t>(x) * 3];
            p[0] = static_cast<uint8_t>(rgb);
            p[1] = static_cast<uint8_t>(rgb >> 8);
            p[2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
    uint8_t* encoded = nullptr;
    size_t size = 0;
    bool ok = wic_encode_png(rows.data(), static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height),
                             static_cast<uint32_t>(stride), &encoded, &size);
    if (ok) bytes->assign(encoded, encoded + size);
    wic_free_bytes(encoded);
    return ok;
}
