// Colours beyond the 24: KORVA_rgb gives any red, green and blue mix a colour index of its own,
// which every primitive then takes like a named colour, and the log lines name "rgb(R, G, B)".
// The same mix always gets the same index; up to MAX_RGB_COLORS mixes per open.
#include <stdio.h>

#include "korva/base/state.h"

// As the primitives correct a size: "Red of 300 not possible, using red 255".
static int32_t corrected_part(const char* name, const char* lower_name, int32_t value) {
    int32_t used = value < 0 ? 0 : (value > 255 ? 255 : value);
    if (used != value) KORVA_printf("%s of %d not possible, using %s %d\n", name, value, lower_name, used);
    return used;
}

int KORVA_rgb(int32_t red, int32_t green, int32_t blue) {
    RgbColors& colors = korva_state.rgb_colors;
    red = corrected_part("Red", "red", red);
    green = corrected_part("Green", "green", green);
    blue = corrected_part("Blue", "blue", blue);
    const uint32_t value = static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 |
                           static_cast<uint32_t>(blue) << 16;
    for (int32_t i = 0; i < colors.count; ++i)
        if (colors.rgb[i] == value) return KORVA_COLOR_COUNT + i;
    if (colors.count == MAX_RGB_COLORS) {
        KORVA_printf("No room for rgb(%d, %d, %d): %d colours are in use; using RED.\n", static_cast<int>(red),
                     static_cast<int>(green), static_cast<int>(blue), static_cast<int>(MAX_RGB_COLORS));
        return KORVA_RED;
    }
    const int32_t i = colors.count++;
    colors.rgb[i] = value;
    snprintf(colors.name[i], sizeof colors.name[i], "rgb(%d, %d, %d)", static_cast<int>(red),
             static_cast<int>(green), static_cast<int>(blue));
    return KORVA_COLOR_COUNT + i;
}
