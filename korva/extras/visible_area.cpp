// KORVA_visible_area: the part of the canvas the graphics window shows, in drawing coordinates.
// The window's frame (drawn by a window manager or by the platform) takes its share of the
// 601 x 540 window, and how much depends on the display, so it is asked of the window itself.
#include "korva/base/state.h"

int KORVA_visible_area(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
    const LibraryState& s = korva_state;
    RECT client{0, 0, 0, 0};
    const bool known = library_open() && GetClientRect(s.graphics_window, &client) && client.right > 0 &&
                       client.bottom > 0;
    // Device column px is drawing x = px - origin_x; device row py is drawing y = origin_y - py.
    if (left) *left = known ? client.left - s.origin_x : 0;
    if (right) *right = known ? client.right - 1 - s.origin_x : 0;
    if (top) *top = known ? s.origin_y - client.top : 0;
    if (bottom) *bottom = known ? s.origin_y - (client.bottom - 1) : 0;
    return known ? 1 : 0;
}
