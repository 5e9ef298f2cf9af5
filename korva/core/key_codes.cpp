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
