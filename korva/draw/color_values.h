// The GDI colour value of a checked colour index, for every part that paints: one of the 24, or
// one the program asked for with KORVA_rgb.
#ifndef KORVA_DRAW_COLOR_VALUES_H
#define KORVA_DRAW_COLOR_VALUES_H

#include <windows.h>

#include "korva/base/state.h"
#include "korva/draw/colors.h"

inline COLORREF color_ref(int32_t color) {
    return color < KORVA_COLOR_COUNT ? COLOR_TABLE[color].rgb : korva_state.rgb_colors.rgb[color - KORVA_COLOR_COUNT];
}

#endif
