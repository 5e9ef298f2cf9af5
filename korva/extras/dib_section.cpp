// Device-independent sections: pixels laid out as the program writes them, drawn by GDI.
#include "korva/extras/dib_section.h"

#include "korva/base/state.h"

HBITMAP make_dib_section(int32_t width, int32_t height, uint16_t bits_per_pixel, bool top_down, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = top_down ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits_per_pixel;
    info.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    return CreateDIBSection(korva_state.canvas_dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}
