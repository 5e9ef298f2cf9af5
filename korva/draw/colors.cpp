// The colour table, the colour check, the size corrections and the corner normalisation.
#include "korva/draw/colors.h"

#include <limits.h>

const ColorEntry COLOR_TABLE[KORVA_COLOR_COUNT] = {
    {"black", 0x000000},        {"white", 0xFFFFFF},       {"red", 0x0000FF},
    {"green", 0x00FF00},        {"blue", 0xFF0000},        {"yellow", 0x00FFFF},
    {"magenta", 0xFF00FF},      {"cyan", 0xFFFF00},        {"purple", 0xCC0099},
    {"navy blue", 0x993300},    {"dusty plum", 0x996699},  {"ice blue", 0xFFFF99},
    {"turquoise", 0xCCFF99},    {"orange", 0x0066FF},      {"brown", 0x336699},
    {"pink", 0xCC99FF},         {"chalk", 0x99FFFF},       {"gold", 0x3399CC},
    {"peach", 0x6699FF},        {"forest green", 0x336600}, {"sea green", 0x99CC33},
    {"olive", 0x339999},        {"50% gray", 0x808080},    {"20% gray", 0xCCCCCC},
};

ColorCheck check_color(int32_t color, int32_t extra_colors) {
    if (color >= 0 && color - KORVA_COLOR_COUNT < extra_colors) return {color, false};
    return {KORVA_RED, true};
}

static const char* const SIZE_MESSAGES[] = {RADIUS_MESSAGE, WIDTH_MESSAGE, PTSIZE_MESSAGE};

const char* size_message(SizeKind kind) {
    return SIZE_MESSAGES[kind];
}

SizeCorrection correct_size(SizeKind kind, int32_t value) {
    SizeCorrection result{value, 0, {}};
    if (value < 0) {
        // -INT_MIN does not exist in 32 bits; the nearest size that does is INT_MAX.
        int32_t positive = value == INT_MIN ? INT_MAX : -value;
        result.fixes[result.count++] = {value, positive};
        result.value = positive;
    }
    if (kind == CORRECT_PTSIZE && result.value > MAX_PTSIZE) {
        result.fixes[result.count++] = {result.value, MAX_PTSIZE};
        result.value = MAX_PTSIZE;
    }
    return result;
}

Corners normalise_corners(Point p1, Point p2) {
    Corners c{p1, p2};
    if (c.upper_left.x > c.lower_right.x) {
        c.upper_left.x = p2.x;
        c.lower_right.x = p1.x;
    }
    if (c.upper_left.y < c.lower_right.y) {
        c.upper_left.y = p2.y;
        c.lower_right.y = p1.y;
    }
    return c;
}
