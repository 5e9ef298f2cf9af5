// The library's own painting of shapes that GDI is not handed (beyond the limits in
// geometry.h): the same pixels GDI paints, from the exact pixel arithmetic, filled with
// PatBlt in the command's colour. Win32 files only.
#ifndef KORVA_DRAW_OWN_PAINTING_H
#define KORVA_DRAW_OWN_PAINTING_H

#include <windows.h>

#include "korva/draw/geometry.h"
#include "korva/draw/raster.h"

// A line (two corners) or a triangle (three).
void paint_own_path(HDC dc, const DrawCommand& c, const WidePoint* corners, int32_t count);
void paint_own_rectangle(HDC dc, const DrawCommand& c, const WideBox& box);
void paint_own_oval(HDC dc, const DrawCommand& c, const WideBox& box);

#endif
