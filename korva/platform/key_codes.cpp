// The one table of keys that make keyboard events without typing a character, and the rule
// for typed characters.
#include "korva/platform/key_codes.h"

#include "korva/korva.h"

// Every key that makes held-key events without being a letter or a digit, and which of them
// make a key-down event of their own with typed keys (they type no character).
struct KeyCode {
    uint32_t virtual_key;
    char code;
    bool own_key_down;
};
static const KeyCode KEY_CODES[] = {
    {0x08, KORVA_KEY_BACKSPACE, false}, {0x09, KORVA_KEY_TAB, false},   {0x0D, KORVA_KEY_ENTER, false},
    {0x10, KORVA_KEY_SHIFT, false},     {0x11, KORVA_KEY_CONTROL, false}, {0x1B, KORVA_KEY_ESCAPE, false},
    {0x20, KORVA_KEY_SPACE, false},     {0x25, KORVA_KEY_LEFT, true},     {0x26, KORVA_KEY_UP, true},
    {0x27, KORVA_KEY_RIGHT, true},      {0x28, KORVA_KEY_DOWN, true},     {0x2E, KORVA_KEY_DELETE, true},
    // The left and right Shift and Ctrl keys, as some keyboards report them.
    {0xA0, KORVA_KEY_SHIFT, false},     {0xA1, KORVA_KEY_SHIFT, false},   {0xA2, KORVA_KEY_CONTROL, false},
    {0xA3, KORVA_KEY_CONTROL, false},
};

int32_t key_code_of_key_down(uint32_t virtual_key) {
    for (const KeyCode& k : KEY_CODES) {
        if (k.virtual_key == virtual_key && k.own_key_down) return k.code;
    }
    return NO_KEY_EVENT;
}

int32_t key_code_of_character(uint32_t character, bool control_down) {
    // One byte of the window's code page; anything wider cannot be recorded in a script line.
    if (character > 0xFF) return NO_KEY_EVENT;
    // Some keyboards type 127 for Delete as well as its key-down: one event per press.
    if (character == static_cast<uint32_t>(KORVA_KEY_DELETE)) return NO_KEY_EVENT;
    // While Ctrl is held a press is a shortcut or a control code, never a typed key. (How
    // the character message reads then depends on the thread's own key state, which posted
    // and forwarded key messages do not carry, so the character itself cannot tell.)
    if (control_down) return NO_KEY_EVENT;
    if (character >= 0x20) return static_cast<int32_t>(character);
    switch (character) {
    case KORVA_KEY_BACKSPACE:
    case KORVA_KEY_TAB:
    case KORVA_KEY_ENTER:
    case KORVA_KEY_ESCAPE:
        return static_cast<int32_t>(character);
    default:
        // The other control codes (Ctrl+letter with Ctrl's release missed, and 28..31, which
        // stand for the arrows) would be mistaken for keys.
        return NO_KEY_EVENT;
    }
}

int32_t held_key_code(uint32_t virtual_key) {
    // The virtual-key codes of letters and digits are their capitals and digits.
    if ((virtual_key >= 'A' && virtual_key <= 'Z') || (virtual_key >= '0' && virtual_key <= '9'))
        return static_cast<int32_t>(virtual_key);
    for (const KeyCode& k : KEY_CODES) {
        if (k.virtual_key == virtual_key) return k.code;
    }
    return NO_KEY_EVENT;
}

bool is_held_key_code(int32_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return true;
    for (const KeyCode& k : KEY_CODES) {
        if (k.code == code) return true;
    }
    return false;
}
