// The whole mouse: button presses, releases and moves of the graphics window as events, made
// only while the program has switched them on (KORVA_mouse).
#ifndef KORVA_CORE_MOUSE_H
#define KORVA_CORE_MOUSE_H

#include <windows.h>

// A button message (any press or release of the three buttons). A left press has made its
// KORVA_MOUSE event already; here it only counts as held.
void mouse_button_message(UINT message, LPARAM position);

// A move: an event while a button is held, or always when all motion was asked for.
void mouse_motion_message(WPARAM buttons, LPARAM position);

// The window lost the mouse to another: no release will come for the buttons held.
void mouse_capture_lost();

#endif
