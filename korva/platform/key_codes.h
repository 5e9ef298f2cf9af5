// Which key presses and typed characters become keyboard events, and with what code.
// Platform-free: the virtual-key codes are plain numbers here.
#ifndef KORVA_PLATFORM_KEY_CODES_H
#define KORVA_PLATFORM_KEY_CODES_H

#include <stdint.h>

// No event for this key or character.
constexpr int32_t NO_KEY_EVENT = -1;

// The code of a key-down that makes an event of its own (arrows, Delete: keys that type no
// character), or NO_KEY_EVENT. Every other key reaches the program as its character.
int32_t key_code_of_key_down(uint32_t virtual_key);

// The code of a typed character, or NO_KEY_EVENT. While Ctrl is held no character makes an
// event: Ctrl+letter presses are shortcuts (or control codes), not keys.
int32_t key_code_of_character(uint32_t character, bool control_down);

// The code of a key for held-key events (letters as capitals, digits, the arrows, Space, Enter,
// Escape, Backspace, Tab, Delete, Shift, Ctrl), or NO_KEY_EVENT for any other key.
int32_t held_key_code(uint32_t virtual_key);

// A code that held_key_code gives for some key: the only values a held-key event may carry.
bool is_held_key_code(int32_t code);

#endif
