// Keyboard events of the graphics window, made only while the program has switched them on.
#ifndef KORVA_CORE_KEYBOARD_H
#define KORVA_CORE_KEYBOARD_H

#include <windows.h>

// A key-down that types no character (arrows, Delete) makes its own event.
void key_down_event(WPARAM virtual_key);

// A typed character makes an event, except the control codes of Ctrl+letter.
void character_event(WPARAM character);

#endif
