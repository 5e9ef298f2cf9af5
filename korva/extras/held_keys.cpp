// KORVA_held_keys, KORVA_key_held and the key-down and key-up events. What is held is kept from
// the events the waits return, not from the keyboard, so a replayed run answers as the recorded
// one did.
#include "korva/extras/held_keys.h"

#include "korva/base/state.h"
#include "korva/platform/key_codes.h"

// Bit 30 of a key message: the key was down already, so this key-down is a repeat.
constexpr LPARAM KEY_WAS_DOWN = LPARAM{1} << 30;

// Whether the program will have the key as down once the key events made so far reach it: the
// event being assembled comes first, then the owed releases, then the owed presses.
static bool known_down(int32_t code) {
    const LibraryState& s = korva_state;
    const HeldKeys& held = s.held_keys;
    if (held.owed_press[code]) return true;
    if (held.owed_release[code]) return false;
    if ((s.event_kind == KORVA_KEY_PRESS || s.event_kind == KORVA_KEY_RELEASE) && s.event.key == code)
        return s.event_kind == KORVA_KEY_PRESS;
    return held.held[code] != 0;
}

// A key message of the graphics window (plain or with Alt); true when the key is one of the
// table and so is taken here.
static bool held_key_message(WPARAM virtual_key, LPARAM info, bool down) {
    LibraryState& s = korva_state;
    if (!s.held_keys.events || virtual_key > 0xFF) return false;
    int32_t code = held_key_code(static_cast<uint32_t>(virtual_key));
    if (code == NO_KEY_EVENT) return false;
    // A repeat is taken here too, making nothing: the key is the program's as presses and
    // releases, so no other kind of event may come of it. So is a key-down of a key the program
    // has as down already, or whose press is owed: the keyboard came back with it held, and the
    // system may send its repeats as fresh key-downs.
    if (down && ((info & KEY_WAS_DOWN) || known_down(code))) return true;
    s.event.key = static_cast<char>(code);
    s.event_kind = down ? KORVA_KEY_PRESS : KORVA_KEY_RELEASE;
    return true;
}

// The next owed event, made the event being assembled when none is; releases first.
static void hand_out_owed() {
    LibraryState& s = korva_state;
    if (s.event_kind != KORVA_NONE && s.event_kind != KORVA_PERIODIC) return;
    uint8_t* const owed_lists[2] = {s.held_keys.owed_release, s.held_keys.owed_press};
    for (uint8_t* owed : owed_lists) {
        for (int32_t code = 0; code < 128; ++code) {
            if (!owed[code]) continue;
            owed[code] = 0;
            s.event.key = static_cast<char>(code);
            s.event_kind = owed == s.held_keys.owed_release ? KORVA_KEY_RELEASE : KORVA_KEY_PRESS;
            return;
        }
    }
}

// While a script plays, key events come from its lines alone, never from the keyboard.
static bool keyboard_is_heard() {
    const LibraryState& s = korva_state;
    return s.held_keys.events && !s.replay.active && !s.playing_back && !s.play_one;
}

// The window lost the keyboard, or a modal loop (menu, move) took it: every key held is owed
// its release, the first made at once if no other event is being assembled.
bool held_keys_keyboard_lost_hook(UINT, WPARAM, LPARAM) {
    LibraryState& s = korva_state;
    if (!keyboard_is_heard()) return false;
    for (int32_t code = 0; code < 128; ++code) {
        // A press still owed never reached the program: it is simply dropped.
        const bool press_owed = s.held_keys.owed_press[code] != 0;
        s.held_keys.owed_press[code] = 0;
        if (!press_owed && known_down(code)) s.held_keys.owed_release[code] = 1;
    }
    hand_out_owed();
    return false;
}

// The keyboard came back: every key of the table that is down now, and not down for the
// program, is owed its press.
bool held_keys_keyboard_back_hook(UINT, WPARAM, LPARAM) {
    LibraryState& s = korva_state;
    if (!keyboard_is_heard()) return false;
    for (uint32_t virtual_key = 1; virtual_key <= 0xFF; ++virtual_key) {
        int32_t code = held_key_code(virtual_key);
        if (code == NO_KEY_EVENT || (GetAsyncKeyState(static_cast<int>(virtual_key)) & 0x8000) == 0) continue;
        // Down now, and not down for the program (or about to be released for it).
        if (!known_down(code)) s.held_keys.owed_press[code] = 1;
    }
    hand_out_owed();
    return false;
}

void set_key_event_aside() {
    LibraryState& s = korva_state;
    if (!s.held_keys.events || (s.event_kind != KORVA_KEY_PRESS && s.event_kind != KORVA_KEY_RELEASE)) return;
    if (!is_held_key_code(s.event.key)) return;
    const uint8_t code = static_cast<uint8_t>(s.event.key);
    if (s.event_kind == KORVA_KEY_PRESS && s.held_keys.owed_release[code]) {
        // Its release is owed already: the program never saw either, and needs neither.
        s.held_keys.owed_release[code] = 0;
    } else {
        (s.event_kind == KORVA_KEY_PRESS ? s.held_keys.owed_press : s.held_keys.owed_release)[code] = 1;
    }
    s.event_kind = KORVA_NONE;
}

bool held_keys_key_hook(UINT message, WPARAM virtual_key, LPARAM info) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const bool taken = held_key_message(virtual_key, info, down);
    return taken && (message == WM_KEYDOWN || message == WM_KEYUP);
}

bool held_keys_click_hook(UINT, WPARAM, LPARAM) {
    set_key_event_aside();
    return false;
}

void hand_out_owed_key_event() {
    if (korva_state.held_keys.events) hand_out_owed();
}

void note_returned_event(int32_t kind, char key) {
    if (kind != KORVA_KEY_PRESS && kind != KORVA_KEY_RELEASE) return;
    // Only the codes of the table are ever held: any other value (a script's line cannot bring
    // one, but this is where an alias would start) changes nothing.
    if (!is_held_key_code(key)) return;
    korva_state.held_keys.held[static_cast<uint8_t>(key)] = kind == KORVA_KEY_PRESS ? 1 : 0;
}

int KORVA_held_keys(int32_t flag) {
    LibraryState& s = korva_state;
    if (!library_open()) return 0;
    s.held_keys.events = flag != 0;
    // Switched off, nothing is known to be held any more, and nothing is owed.
    if (!s.held_keys.events) s.held_keys = HeldKeys{};
    return 1;
}

int KORVA_key_held(char code) {
    if (code >= 'a' && code <= 'z') code = static_cast<char>(code - 'a' + 'A');
    if (!is_held_key_code(code)) return 0;
    return korva_state.held_keys.held[static_cast<uint8_t>(code)];
}
