// Overflow-safe arithmetic between drawing coordinates and canvas pixels: the transform,
// inclusive boxes, and the clipping that keeps everything handed to GDI inside a range
// that Wine's rasteriser handles quickly and without overflowing. Platform-free.
#ifndef KORVA_DRAW_GEOMETRY_H
#define KORVA_DRAW_GEOMETRY_H

#include <stdint.h>

#include "korva/draw/colors.h"
#include "korva/korva.h"

// Device coordinates handed to GDI stay within +/- this. It lies far outside the canvas, so
// clipping there changes no canvas pixel; Wine's polygon and ellipse fills take time in
// proportion to the shape's size (not the visible part) and misbehave near 16-bit limits.
constexpr int64_t DEVICE_LIMIT = 16384;

// Pens are at most this wide: it covers the canvas many times over from any outline that
// can reach it, and Wine's wide-pen ellipses cost time that grows with the square of it.
constexpr int32_t PEN_WIDTH_LIMIT = 2048;

// Text lines left of this device x are too far away for any line of 1023 glyphs to reach
// the canvas; the text itself is never clipped, only skipped when it cannot show.
constexpr int64_t TEXT_REACH = 1 << 20;

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
bool box_within_device_limit(const WideBox& box);
bool box_meets_canvas(const WideBox& box, int32_t reach);

int32_t limit_pen_width(int32_t width);

// The corners (x - r, y + r) and (x + r, y - r) of a circle's box, each kept within 32 bits.
Corners circle_corners(Point centre, int32_t radius);

// A segment cut to the device limit. The end points that lie inside keep their exact place,
// so a line still stops just before an end point that is on the canvas.
struct DeviceSegment {
    Point from;
    Point to;
};
bool clip_segment(WidePoint from, WidePoint to, DeviceSegment* out);

// A triangle cut to the device limit: up to 7 corners, returned count 0 when nothing is left.
constexpr int32_t MAX_CLIPPED_CORNERS = 9;
int32_t clip_triangle(const WidePoint corners[3], Point out[MAX_CLIPPED_CORNERS]);

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

// Whether a text line whose cell starts at (left, top) can show any pixel on the canvas.
bool text_line_may_show(int64_t left, int64_t top, int32_t line_height);

#endif
