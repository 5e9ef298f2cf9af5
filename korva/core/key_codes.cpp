// The table of keys that make keyboard events without typing a character, and the rule for
// typed characters.
#include "korva/core/key_codes.h"

#include "korva/korva.h"

struct KeyDownCode {
    uint32_t virtual_key;
    char code;
};
static const KeyDownCode KEY_DOWN_CODES[] = {
    {0x25, KORVA_KEY_LEFT}, {0x26, KORVA_KEY_UP},     {0x27, KORVA_KEY_RIGHT},
    {0x28, KORVA_KEY_DOWN}, {0x2E, KORVA_KEY_DELETE},
};

int32_t key_code_of_key_down(uint32_t virtual_key) {
    for (const KeyDownCode& k : KEY_DOWN_CODES) {
        if (k.virtual_key == virtual_key) return k.code;
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

struct HeldKeyCode {
    uint32_t virtual_key;
    char code;
};
static const HeldKeyCode HELD_KEY_CODES[] = {
    {0x08, KORVA_KEY_BACKSPACE}, {0x09, KORVA_KEY_TAB},   {0x0D, KORVA_KEY_ENTER},      {0x10, KORVA_KEY_SHIFT},
    {0x11, KORVA_KEY_CONTROL},   {0x1B, KORVA_KEY_ESCAPE}, {0x20, KORVA_KEY_SPACE},     {0x25, KORVA_KEY_LEFT},
    {0x26, KORVA_KEY_UP},        {0x27, KORVA_KEY_RIGHT},  {0x28, KORVA_KEY_DOWN},      {0x2E, KORVA_KEY_DELETE},
    // The left and right Shift and Ctrl keys, as some keyboards report them.
    {0xA0, KORVA_KEY_SHIFT},     {0xA1, KORVA_KEY_SHIFT},  {0xA2, KORVA_KEY_CONTROL},   {0xA3, KORVA_KEY_CONTROL},
};

int32_t held_key_code(uint32_t virtual_key) {
    // The virtual-key codes of letters and digits are their capitals and digits.
    if ((virtual_key >= 'A' && virtual_key <= 'Z') || (virtual_key >= '0' && virtual_key <= '9'))
        return static_cast<int32_t>(virtual_key);
    for (const HeldKeyCode& k : HELD_KEY_CODES) {
        if (k.virtual_key == virtual_key) return k.code;
    }
    return NO_KEY_EVENT;
}

bool is_held_key_code(int32_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return true;
    for (const HeldKeyCode& k : HELD_KEY_CODES) {
        if (k.code == code) return true;
    }
    return false;
}
