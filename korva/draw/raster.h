// DrawCommand, the raster executor that paints one onto the canvas, and the canvas copy.
#ifndef KORVA_DRAW_RASTER_H
#define KORVA_DRAW_RASTER_H

#include <windows.h>

#include <stdint.h>

#include "korva/base/state.h"
#include "korva/draw/color_values.h"
#include "korva/draw/colors.h"
#include "korva/draw/geometry.h"
#include "korva/korva.h"

enum DrawKind : int32_t {
    DRAW_TRIANGLE = 0,
    DRAW_RECTANGLE = 1,
    DRAW_OVAL = 2,
    DRAW_LINE = 3,
    DRAW_PIXEL = 4,
    DRAW_TEXT = 5,
};

struct DrawCommand {
    int32_t kind;
    int32_t color;   // 0..23, already corrected
    int32_t width;   // never negative; 0 fills triangle, rectangle and oval
    Point p1;
    Point p2;        // text: x is the point size (0..127)
    Point p3;
    void* text;      // text: handle of the movable block holding the text; a 64-bit handle
                     // does not fit p2.y, so it travels in a field of its own
};

// Paints every kind but the pixel.
void execute_shape_command(HDC dc, const DrawCommand& command);

// Paints one command onto the canvas and marks the canvas dirty. Inline, so that the pixel,
// the call whose cost is closest to the platform's own, is one SetPixel at the device point
// (clamped to the device limit) with no call of the library's between.
inline void execute_draw_command(const DrawCommand& command) {
    HDC dc = korva_state.canvas_dc;
    if (command.kind == DRAW_PIXEL) {
        WidePoint p = to_device(korva_state.origin_x, korva_state.origin_y, command.p1);
        SetPixel(dc, clamp_to_device(p.x), clamp_to_device(p.y), color_ref(command.color));
    } else {
        execute_shape_command(dc, command);
    }
    korva_state.canvas_dirty = 1;
}

// Copies the whole canvas to the graphics window (no dirty check).
void copy_canvas_to_window();

#endif
