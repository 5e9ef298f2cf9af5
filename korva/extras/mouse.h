// The whole mouse: button presses, releases and moves of the graphics window as events, made
// only while the program has switched them on (KORVA_mouse).
#ifndef KORVA_EXTRAS_MOUSE_H
#define KORVA_EXTRAS_MOUSE_H

#include <windows.h>

// The window hooks of the whole mouse, each taking its message while the program has switched
// the mouse on. A button press or release (a left press has made its KORVA_MOUSE click already,
// and only counts as held here); a move, an event while a button is held, or always when all
// motion was asked for; and the window losing the mouse to another, which no release will
// follow (heard, never taken).
bool mouse_button_hook(UINT message, WPARAM, LPARAM position);
bool mouse_motion_hook(UINT message, WPARAM buttons, LPARAM position);
bool mouse_capture_hook(UINT message, WPARAM, LPARAM);

// A turn of the wheel, while the mouse is switched on: whole notches become a KORVA_WHEEL event
// at the pointer (a part of a notch waits for the rest); taken either way.
bool mouse_wheel_hook(UINT message, WPARAM wparam, LPARAM screen_position);

#endif
