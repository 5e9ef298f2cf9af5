// Held keys: keys going down and up as events, made only while the program has switched them
// on (KORVA_held_keys), and the held state that the returned events build.
#ifndef KORVA_CORE_HELD_KEYS_H
#define KORVA_CORE_HELD_KEYS_H

#include <windows.h>

#include <stdint.h>

// A key message of the graphics window; true when it made an event. A key-down that only
// repeats a key already down makes none.
bool held_key_message(WPARAM virtual_key, LPARAM info, bool down);

// The wait returns this event: a key going down or up changes what KORVA_key_held answers.
void note_returned_event(int32_t kind, char key);

#endif
