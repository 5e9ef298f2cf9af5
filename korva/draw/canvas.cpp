// The canvas: clearing it and copying it to the graphics window.
#include "korva/base/state.h"
#include "korva/console/log_line.h"
#include "korva/draw/colors.h"
#include "korva/draw/raster.h"

void copy_canvas_to_window() {
    BitBlt(korva_state.window_dc, 0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, korva_state.canvas_dc, 0, 0,
           SRCCOPY);
}

// The outline comes from the context's default pen, a 1-pixel black one, because every
// drawing call selects its own pen back out: hence the black frame of a cleared canvas.
int KORVA_clear() {
    LibraryState& s = korva_state;
    if (s.logging) log_printf("Clearing the graphics window\n");
    HBRUSH white = CreateSolidBrush(COLOR_TABLE[KORVA_WHITE].rgb);
    HGDIOBJ previous = SelectObject(s.canvas_dc, white);
    Rectangle(s.canvas_dc, 0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT);
    SelectObject(s.canvas_dc, previous);
    DeleteObject(white);
    s.canvas_dirty = 1;
    return 1;
}

int KORVA_flush() {
    LibraryState& s = korva_state;
    if (s.logging) log_printf("Flushing the graphics window\n");
    if (s.canvas_dirty) {
        copy_canvas_to_window();
        s.canvas_dirty = 0;
    }
    return 1;
}
