// Pictures through the platform's imaging component (WIC): reading any picture file it knows
// (PNG with transparency, BMP, JPEG, GIF, ...) and writing PNG. Win32; shared with korva-replay.
#ifndef KORVA_PLATFORM_WIC_CODEC_H
#define KORVA_PLATFORM_WIC_CODEC_H

#include <stddef.h>
#include <stdint.h>

// A picture opened for reading; `source` is the component's own object.
struct WicPicture {
    void* source;
    uint32_t width;
    uint32_t height;
};

// The reason wic_open_file gives when there is no file of that name (and only then); one object
// for the whole program, so the pointer itself tells.
inline constexpr char WIC_NO_SUCH_FILE[] = "no such file";

// Opens a picture file, or one held in memory. Null on success; else a few words for a message
// (WIC_NO_SUCH_FILE, "not a picture the platform can read", ...).
const char* wic_open_file(const char* path, WicPicture* out);
const char* wic_open_memory(const uint8_t* bytes, size_t size, WicPicture* out);

// Copies the pixels, top row first, 4 bytes each: blue, green, red and alpha, with the colours
// multiplied by alpha (as the platform's blend takes them). Null on success, else the reason
// they cannot be read (a file cut short is found only here).
const char* wic_copy_premultiplied(const WicPicture& picture, void* pixels, uint32_t stride);

void wic_close(WicPicture* picture);

// Encodes rows of 3 bytes a pixel (blue, green, red), top row first, as a PNG file in a new
// block of *bytes (free it with wic_free_bytes). False when it cannot be encoded.
bool wic_encode_png(const void* rows, uint32_t width, uint32_t height, uint32_t stride, uint8_t** bytes,
                    size_t* size);
void wic_free_bytes(uint8_t* bytes);

// Lets go of the component and ends the thread's COM apartment if wic_codec started it; the
// next use starts afresh.
void wic_shutdown();

// Whether a file name asks for PNG: it ends in ".png", in any case.
bool png_file_name(const char* path);

#endif
