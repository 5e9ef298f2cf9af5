// Held keys: keys going down and up as events, made only while the program has switched them
// on (KORVA_held_keys), and the held state that the returned events build.
#ifndef KORVA_EXTRAS_HELD_KEYS_H
#define KORVA_EXTRAS_HELD_KEYS_H

#include <windows.h>

#include <stdint.h>

// A click is about to take the place of the event being assembled: a key event there goes back
// to the owed ones for the next wait, since a lost press or release would leave the key wrong.
void set_key_event_aside();

// The window hooks of held keys. A plain key-down or key-up of a key of the table is taken (a
// key-down of a key already down for the program, a repeat, makes no event); one with Alt held
// is heard and left to the platform. When the window loses the keyboard, or a modal loop (menu,
// move) takes it, every key held is owed its release; when the keyboard comes back, every key of
// the table that is down is owed its press; the first owed event is made at once if no other is
// being assembled. A click's press is heard before it becomes the event.
bool held_keys_key_hook(UINT message, WPARAM virtual_key, LPARAM info);
bool held_keys_keyboard_lost_hook(UINT message, WPARAM, LPARAM);
bool held_keys_keyboard_back_hook(UINT message, WPARAM, LPARAM);
bool held_keys_click_hook(UINT message, WPARAM, LPARAM);

// At the start of a wait: the next owed key event, if any, becomes the event.
void hand_out_owed_key_event();

// The wait returns this event: a key going down or up changes what KORVA_key_held answers.
void note_returned_event(int32_t kind, char key);

#endif
