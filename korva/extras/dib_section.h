// Device-independent sections, for pictures and canvas saves. Win32.
#ifndef KORVA_EXTRAS_DIB_SECTION_H
#define KORVA_EXTRAS_DIB_SECTION_H

#include <windows.h>

#include <stdint.h>

// A section of `width` x `height` pixels of `bits_per_pixel` (24 or 32), compatible with the
// canvas, top row first when `top_down`, else bottom row first; null when there is no memory.
// `bits` receives its pixels.
HBITMAP make_dib_section(int32_t width, int32_t height, uint16_t bits_per_pixel, bool top_down, void** bits);

#endif
