// Overflow-safe arithmetic between drawing coordinates and canvas pixels: the transform,
// inclusive boxes, and the limits within which Wine's rasteriser is handed the real
// coordinates, quick and without overflowing. Platform-free.
#ifndef KORVA_DRAW_GEOMETRY_H
#define KORVA_DRAW_GEOMETRY_H

#include <stdint.h>

#include "korva/draw/colors.h"
#include "korva/korva.h"

// Where Wine's GDI is handed the real coordinates and widths, and where it is not. Measured
// under Wine on the 601 x 540 canvas, one call at a time:
// - LineTo with a 1-pixel pen lit exactly the stepped pixels for every end point within
//   +/-2^27 (300 random lines per size, lines of any length); from +/-2^28 on, half of the
//   long lines were off by one pixel or more. Beyond it the library steps the line itself.
constexpr int64_t THIN_LINE_LIMIT = int64_t{1} << 27;

// - A filled Polygon takes time with the triangle's size, not its visible part: 0.3 ms at
//   +/-2^15, 1.0 ms at 2^17, 1.5 ms at 2^18, 6.5 ms at 2^20, 3.4 s at 2^30. Beyond this the
//   library fills the canvas rows itself and draws the three edges as stepped lines.
constexpr int64_t FILL_LIMIT = int64_t{1} << 18;

// - A pen wider than 1 pixel is widened into polygons, whose cost grows with the length of
//   the stroke: a 2-pixel line took 1.1 ms at +/-2^14, 2.1 ms at 2^15, 4.6 ms at 2^16, 53 ms
//   at 2^20; a wide-pen triangle 1.5 ms at 2^15, 3.8 ms at 2^16. Wide strokes reaching beyond
//   this are painted by the library: each segment's body row by row as GDI builds it (see
//   stroke_body), and GDI's own round dot at each corner that can reach the canvas (a corner
//   this far out cannot). That matched raw GDI on 3,200 lines and triangles with pens of 2 to
//   8192 and corners to +/-30000, and on lines out to 2^20. Pixels are clamped to this limit.
constexpr int64_t DEVICE_LIMIT = 32768;

// - A filled Ellipse takes time with its box: 1.4 ms for a box of 16,384 px, 4.0 ms for
//   32,768, 7.2 ms for 65,536; an Ellipse of 2^21 px did not finish in minutes. Ovals whose
//   box leaves +/- this are filled row by row by the library.
constexpr int64_t OVAL_LIMIT = 16384;

// - Pens up to 30,000 px took at most 2.8 ms (line), 4.5 ms (rectangle), 5.1 ms (triangle)
//   near the canvas; 65,536 px took 9 to 17 ms, and a pen of 2^20 px made Wine fault inside
//   LineTo and Rectangle. A 16,384-px pen on a stroke reaching the device limit took 6.4 ms,
//   one of 8,192 px at most 2.1 ms (bench/draw_bench.cpp). Wider pens are painted by the
//   library: rectangles exactly, lines and triangles as the bodies and dots above.
constexpr int32_t PEN_WIDTH_LIMIT = 8192;

// - The round dot of a pen (a line of length 0: the elliptic region from -(width / 2) to
//   (width + 1) / 2 + 1 around the point) took 0.8 ms at 8,192 px, 1.4 ms at 16,384, 2.2 ms
//   at 30,000, 5.2 ms at 65,536 and 12.6 ms at 131,072. Dots of wider pens that reach the
//   canvas are filled row by row by the library, as very large ovals are (which may differ
//   from Wine's by a pixel at the curve).
constexpr int32_t DOT_PEN_LIMIT = 16384;

// - An Ellipse is handed its real box whenever that box lies within +/-OVAL_LIMIT and its pen
//   is one GDI takes (up to PEN_WIDTH_LIMIT): exactly what a program calling Ellipse itself
//   gets, at Ellipse's own cost. Under Wine that cost grows with the part of a wide pen that
//   lies on the canvas: a 2-px pen took 1.2 ms for a box of 121 px and 4.2 ms for 601 px; a
//   300-px pen 22 ms for 601 px; an 8000-px pen 0.45 s for 601 px and 3.4 s for 8001 px. Only
//   beyond these limits are an oval's rows filled by the library, from the true ellipse (the
//   rows between the outer and the inner ellipse of the pen), which may differ from GDI's by
//   one pixel along the curve.

// Text lines are handed to TextOutA unless they cannot show: wholly below, above or right of
// the canvas, or ending left of it by their measured width.

struct WidePoint {
    int64_t x;
    int64_t y;
};

// A box in device pixels; right and bottom are exclusive, as GDI takes them.
struct WideBox {
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
};

// (origin_x + x, origin_y - y), computed without overflow. Inline: every pixel goes through it.
inline WidePoint to_device(int32_t origin_x, int32_t origin_y, Point p) {
    return {int64_t{origin_x} + p.x, int64_t{origin_y} - p.y};
}

// The device box that covers both corners inclusively (one more on the right and bottom).
WideBox inclusive_device_box(int32_t origin_x, int32_t origin_y, Point upper_left, Point lower_right);

inline int32_t clamp_to_device(int64_t v) {
    return static_cast<int32_t>(v < -DEVICE_LIMIT ? -DEVICE_LIMIT : (v > DEVICE_LIMIT ? DEVICE_LIMIT : v));
}

// Whether GDI is handed each kind with its real coordinates and pen: within the limits above.
// Beyond them the library paints the same pixels itself (own_painting.h).
bool line_for_gdi(const WidePoint ends[2], int32_t pen_width);
bool triangle_for_gdi(const WidePoint corners[3], int32_t pen_width);
bool rectangle_for_gdi(const WideBox& box, int32_t pen_width);
bool oval_for_gdi(const WideBox& box, int32_t pen_width);
bool pen_dot_for_gdi(WidePoint centre, int32_t pen_width);

bool box_meets_canvas(const WideBox& box, int32_t reach);

// The box of a pen's round dot at a point, as GDI takes it (right and bottom exclusive).
WideBox pen_dot_box(WidePoint centre, int32_t pen_width);

// Whether a pen's round dot at a point holds every canvas pixel: each canvas corner lies two
// pixels inside the true circle, farther than the dot's region strays from it.
bool pen_dot_covers_canvas(WidePoint centre, int32_t pen_width);

// Whether a box lies within +/- limit on every side.
bool box_within(const WideBox& box, int64_t limit);
bool point_within(WidePoint p, int64_t limit);

// The corners (x - r, y + r) and (x + r, y - r) of a circle's box, each kept within 32 bits.
Corners circle_corners(Point centre, int32_t radius);

// The pixels of one canvas row covered by an ellipse too large for GDI: filled, or its
// outline with a pen of the given width. Spans are inclusive and lie on the canvas.
struct RowSpans {
    int32_t count;
    int32_t first[2];
    int32_t last[2];
};
RowSpans ellipse_row_spans(const WideBox& box, int32_t pen_width, bool filled, int32_t row);

// The device y of the top of line number `line` (0 for the first) of a text at drawing y.
int64_t text_line_top(int32_t origin_y, int32_t y, int64_t line, int32_t line_height);

// Whether a text line whose cell starts at (left, top) can show any pixel on the canvas. A
// glyph may reach left of its cell by up to `overhang` pixels (a negative left bearing); the
// line's cells are `width` pixels wide, and its last glyph may reach right of them by up to a
// line height. A negative width is not known, and such a line is never ruled out by it.
bool text_line_may_show(int64_t left, int64_t top, int32_t line_height, int32_t overhang, int64_t width);

#endif
