// The 24-colour table and the argument corrections of the drawing primitives.
// Platform-free: the Win32 side writes the messages these functions say apply, in their order.
#ifndef KORVA_DRAW_COLORS_H
#define KORVA_DRAW_COLORS_H

#include <stdint.h>

#include "korva/korva.h"

struct ColorEntry {
    const char* name;  // as written in log lines
    uint32_t rgb;      // GDI colour value, 0x00BBGGRR
};

extern const ColorEntry COLOR_TABLE[KORVA_COLOR_COUNT];

constexpr int32_t MAX_PTSIZE = 127;

constexpr char ILLEGAL_COLOR_MESSAGE[] = "Illegal color %d; using RED.\n";
constexpr char RADIUS_MESSAGE[] = "Radius of %d not possible, using radius %d\n";
constexpr char WIDTH_MESSAGE[] = "Width of %d not possible, using width %d\n";
constexpr char PTSIZE_MESSAGE[] = "ptsize of %d not possible, using ptsize %d\n";

// A colour index to use, and whether the given one was illegal (and so replaced by red). The
// indices of the colours a program has asked for beyond the 24 (`extra_colors` of them) follow.
struct ColorCheck {
    int32_t color;
    bool illegal;
};
ColorCheck check_color(int32_t color, int32_t extra_colors = 0);

enum SizeKind : int32_t { CORRECT_RADIUS, CORRECT_WIDTH, CORRECT_PTSIZE };

// One correction message: "... of <given> not possible, using ... <used>".
struct SizeFix {
    int32_t given;
    int32_t used;
};

// The size to use and the messages that lead to it, in the order they are written.
struct SizeCorrection {
    int32_t value;
    int32_t count;  // 0, 1 or (point size only) 2
    SizeFix fixes[2];
};
SizeCorrection correct_size(SizeKind kind, int32_t value);

// The message format of a size correction: two %d, the given and the used value.
const char* size_message(SizeKind kind);

// Opposite corners of a box, reordered so that the first is the upper-left (smallest x,
// largest y) and the second the lower-right.
struct Corners {
    Point upper_left;
    Point lower_right;
};
Corners normalise_corners(Point p1, Point p2);

#endif
