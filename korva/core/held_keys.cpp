// KORVA_held_keys, KORVA_key_held and the key-down and key-up events. What is held is kept from
// the events the waits return, not from the keyboard, so a replayed run answers as the recorded
// one did.
#include "korva/core/held_keys.h"

#include "korva/core/key_codes.h"
#include "korva/core/state.h"

// Bit 30 of a key message: the key was down already, so this key-down is a repeat.
constexpr LPARAM KEY_WAS_DOWN = LPARAM{1} << 30;

bool held_key_message(WPARAM virtual_key, LPARAM info, bool down) {
    LibraryState& s = korva_state;
    if (!s.held_keys.events || virtual_key > 0xFF) return false;
    if (down && (info & KEY_WAS_DOWN)) return false;
    int32_t code = held_key_code(static_cast<uint32_t>(virtual_key));
    if (code == NO_KEY_EVENT) return false;
    s.event.key = static_cast<char>(code);
    s.event_kind = down ? KORVA_KEY_PRESS : KORVA_KEY_RELEASE;
    return true;
}

void note_returned_event(int32_t kind, char key) {
    if (kind != KORVA_KEY_PRESS && kind != KORVA_KEY_RELEASE) return;
    uint8_t index = static_cast<uint8_t>(key) & 0x7F;
    korva_state.held_keys.held[index] = kind == KORVA_KEY_PRESS ? 1 : 0;
}

int KORVA_held_keys(int32_t flag) {
    LibraryState& s = korva_state;
    if (s.graphics_window == nullptr) return 0;
    s.held_keys.events = flag != 0;
    // Switched off, nothing is known to be held any more.
    if (!s.held_keys.events)
        for (uint8_t& held : s.held_keys.held) held = 0;
    return 1;
}

int KORVA_key_held(char code) {
    if (code >= 'a' && code <= 'z') code = static_cast<char>(code - 'a' + 'A');
    if (code < 0) return 0;
    return korva_state.held_keys.held[static_cast<uint8_t>(code)];
}
