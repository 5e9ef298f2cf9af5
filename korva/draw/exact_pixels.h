// The canvas pixels that GDI paints for a shape, computed exactly in integer arithmetic, for
// the shapes whose coordinates or pens lie beyond what Wine's rasteriser handles (the limits
// and their measurements are in geometry.h). Platform-free.
#ifndef KORVA_DRAW_EXACT_PIXELS_H
#define KORVA_DRAW_EXACT_PIXELS_H

#include <stdint.h>

#include "korva/draw/geometry.h"

// A run of canvas pixels: `length` pixels from (x, y) to the right, or downward when vertical.
struct PixelRun {
    int32_t x;
    int32_t y;
    int32_t length;
    int32_t vertical;
};

// A width-1 line crosses at most one run per canvas column (or row), so this many suffice.
constexpr int32_t MAX_LINE_RUNS = KORVA_CANVAS_WIDTH;

// The canvas pixels of a 1-pixel line from `from` to `to`, end point excluded, stepped as
// GDI steps it: one pixel per step along the longer axis, the other coordinate rounded to
// the nearest pixel and a tie going to the smaller coordinate. Returns the number of runs.
int32_t line_canvas_runs(WidePoint from, WidePoint to, PixelRun runs[MAX_LINE_RUNS]);

// The canvas columns of `row` whose pixel centres lie strictly inside the triangle; false
// when there are none. With the triangle's three edge lines on top, this is the filled
// triangle that GDI paints.
bool triangle_row_interior(const WidePoint corners[3], int32_t row, int32_t* first, int32_t* last);

// The body of a wide-pen segment from a to b (a != b) as GDI builds it: the end points
// moved across the segment by a narrow half-width to one side and a wide one to the other,
// each rounded to a whole pixel; an axis-parallel segment gets the box from -(width / 2) to
// width - width / 2 across it. The pen's round dots at the two ends are not part of it.
struct StrokeBody {
    WidePoint corners[4];
};
StrokeBody stroke_body(WidePoint a, WidePoint b, int32_t width);

// The canvas columns of `row` inside the body by GDI's region rule: from the left crossing
// rounded up to, but not including, the right crossing rounded up; false when there are none.
bool body_row_span(const StrokeBody& body, int32_t row, int32_t* first, int32_t* last);

// A box of canvas pixels, inclusive on every side.
struct CanvasRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The outline of a rectangle with a pen of `width` (at least 1) as GDI shapes it, cut to the
// canvas: the pen reaches width / 2 outside the box's left and top edge and (width - 1) / 2
// beyond its last column and row, and as far inside. Returns up to 4 disjoint pieces.
int32_t rectangle_outline_pieces(const WideBox& box, int32_t width, CanvasRect pieces[4]);

// The filled box itself, cut to the canvas; false when none of it is on the canvas.
bool box_on_canvas(const WideBox& box, CanvasRect* out);

#endif
