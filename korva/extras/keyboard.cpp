// KORVA_keyboard and the keyboard events that the graphics window's key messages make.
// Each press makes one event: keys that type a character come through their character
// message, the others through their key-down, so no press is seen twice.
#include "korva/extras/keyboard.h"

#include "korva/base/state.h"
#include "korva/platform/key_codes.h"

static void make_key_event(int32_t code) {
    if (code == NO_KEY_EVENT) return;
    LibraryState& s = korva_state;
    // Like a click: position and hero stay as the wait left them.
    s.event.key = static_cast<char>(code);
    s.event_kind = KORVA_KBD;
}

static void key_down_event(WPARAM virtual_key) {
    if (!korva_state.keyboard.events) return;
    if (virtual_key > 0xFF) return;
    make_key_event(key_code_of_key_down(static_cast<uint32_t>(virtual_key)));
}

static void character_event(WPARAM character) {
    if (!korva_state.keyboard.events) return;
    if (character > 0xFF) return;
    make_key_event(key_code_of_character(static_cast<uint32_t>(character), korva_state.control_key_down != 0));
}

bool typed_key_down_hook(UINT, WPARAM virtual_key, LPARAM) {
    key_down_event(virtual_key);
    return false;
}

bool typed_character_hook(UINT, WPARAM character, LPARAM) {
    character_event(character);
    return false;
}

int KORVA_keyboard(int32_t flag) {
    LibraryState& s = korva_state;
    if (!library_open()) return 0;
    s.keyboard.events = flag != 0;
    return 1;
}
