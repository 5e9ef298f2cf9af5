// Keyboard events of the graphics window, made only while the program has switched them on.
#ifndef KORVA_EXTRAS_KEYBOARD_H
#define KORVA_EXTRAS_KEYBOARD_H

#include <windows.h>

// The window hooks of typed keys, neither of which takes its message: a key-down that is no
// shortcut and that held keys did not take (one that types no character, an arrow or Delete,
// makes its own event), and a character (an event, except the control codes of Ctrl+letter).
bool typed_key_down_hook(UINT message, WPARAM virtual_key, LPARAM);
bool typed_character_hook(UINT message, WPARAM character, LPARAM);

#endif
