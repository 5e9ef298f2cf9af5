// KORVA_mouse and the events of the whole mouse. Positions are the library's drawing
// coordinates; while a button is held the window keeps the mouse (capture), so a drag that
// leaves the window still reports its moves and ends with its release.
#include "korva/extras/mouse.h"

#include "korva/base/state.h"
#include "korva/extras/held_keys.h"

constexpr char MOUSE_MODE_MESSAGE[] = "Mouse mode %d not possible, using mouse mode %d\n";

// The signed client position the message carries: outside the window it may be negative.
static int32_t client_x(LPARAM position) {
    return static_cast<int16_t>(static_cast<uint32_t>(position) & 0xFFFF);
}
static int32_t client_y(LPARAM position) {
    return static_cast<int16_t>((static_cast<uint32_t>(position) >> 16) & 0xFFFF);
}

static void make_mouse_event(int32_t kind, LPARAM position, char key) {
    LibraryState& s = korva_state;
    s.event.x = client_x(position) - s.origin_x;
    s.event.y = s.origin_y - client_y(position);
    s.event.key = key;
    s.event_kind = kind;
}

static void hold(char button) {
    LibraryState& s = korva_state;
    if (s.mouse.held == 0) SetCapture(s.graphics_window);
    s.mouse.held = static_cast<uint8_t>(s.mouse.held | button);
}

static void let_go(char button) {
    LibraryState& s = korva_state;
    s.mouse.held = static_cast<uint8_t>(s.mouse.held & ~button);
    if (s.mouse.held == 0 && GetCapture() == s.graphics_window) ReleaseCapture();
}

// Each button message: which button, and whether it goes down. A left press makes no event
// here: it is the KORVA_MOUSE click already.
struct ButtonMessage {
    UINT message;
    char button;
    bool down;
};
static const ButtonMessage BUTTON_MESSAGES[] = {
    {WM_LBUTTONDOWN, KORVA_BUTTON_LEFT, true},    {WM_LBUTTONUP, KORVA_BUTTON_LEFT, false},
    {WM_RBUTTONDOWN, KORVA_BUTTON_RIGHT, true},   {WM_RBUTTONUP, KORVA_BUTTON_RIGHT, false},
    {WM_MBUTTONDOWN, KORVA_BUTTON_MIDDLE, true},  {WM_MBUTTONUP, KORVA_BUTTON_MIDDLE, false},
};

bool mouse_button_hook(UINT message, WPARAM, LPARAM position) {
    LibraryState& s = korva_state;
    if (!s.mouse.buttons) return false;
    for (const ButtonMessage& m : BUTTON_MESSAGES) {
        if (m.message != message) continue;
        if (m.button == KORVA_BUTTON_LEFT && m.down) {
            // Another button may hold the mouse, and a press outside the window then comes
            // with a negative position: read as the other button messages are.
            s.event.x = client_x(position) - s.origin_x;
            s.event.y = s.origin_y - client_y(position);
            hold(m.button);
            return true;
        }
        set_key_event_aside();
        if (m.down) {
            hold(m.button);
            make_mouse_event(KORVA_BUTTON_DOWN, position, m.button);
        } else {
            let_go(m.button);
            make_mouse_event(KORVA_BUTTON_UP, position, m.button);
        }
        return true;
    }
    return false;
}

bool mouse_motion_hook(UINT, WPARAM buttons, LPARAM position) {
    LibraryState& s = korva_state;
    if (!s.mouse.buttons) return false;
    char held = static_cast<char>(((buttons & MK_LBUTTON) ? KORVA_BUTTON_LEFT : 0) |
                                  ((buttons & MK_RBUTTON) ? KORVA_BUTTON_RIGHT : 0) |
                                  ((buttons & MK_MBUTTON) ? KORVA_BUTTON_MIDDLE : 0));
    if (held == 0 && !s.mouse.all_motion) return true;
    // A press or release is never replaced by a move; a periodic event waiting for its tick is,
    // as a click replaces it, so the move is not lost.
    if (s.event_kind != KORVA_NONE && s.event_kind != KORVA_MOTION && s.event_kind != KORVA_PERIODIC) return true;
    // The system repeats a move to the same place (after a click, when a window shows); only
    // a move to somewhere else is one.
    if (client_x(position) == s.mouse.last_x && client_y(position) == s.mouse.last_y) return true;
    s.mouse.last_x = client_x(position);
    s.mouse.last_y = client_y(position);
    make_mouse_event(KORVA_MOTION, position, held);
    return true;
}

bool mouse_wheel_hook(UINT, WPARAM wparam, LPARAM screen_position) {
    LibraryState& s = korva_state;
    if (!s.mouse.buttons) return false;
    // A notch is 120; a fine wheel sends parts of one, which add up to whole notches.
    int32_t turned = s.mouse.wheel_rest + static_cast<int16_t>(HIWORD(wparam));
    int32_t notches = turned / WHEEL_DELTA;
    s.mouse.wheel_rest = turned - notches * WHEEL_DELTA;
    if (notches == 0) return true;
    // One event carries at most 127 notches, as its script line does; the rest of a faster turn
    // comes back as a wheel message of its own, the next event.
    const int32_t most = notches > 0 ? 127 : -127;
    if (notches > 127 || notches < -127) {
        PostMessageA(s.graphics_window, WM_MOUSEWHEEL,
                     MAKEWPARAM(LOWORD(wparam), static_cast<WORD>((notches - most) * WHEEL_DELTA)), screen_position);
        notches = most;
    }
    // The wheel message carries a screen position.
    POINT p{client_x(screen_position), client_y(screen_position)};
    ScreenToClient(s.graphics_window, &p);
    set_key_event_aside();
    make_mouse_event(KORVA_WHEEL, MAKELPARAM(p.x, p.y), static_cast<char>(notches));
    return true;
}

bool mouse_capture_hook(UINT, WPARAM, LPARAM) {
    korva_state.mouse.held = 0;
    return false;
}

int KORVA_mouse(int32_t mode) {
    LibraryState& s = korva_state;
    if (!library_open()) return 0;
    int32_t used = mode & (KORVA_MOUSE_BUTTONS | KORVA_MOUSE_ALL_MOTION);
    // All motion is the buttons and more.
    if (used & KORVA_MOUSE_ALL_MOTION) used |= KORVA_MOUSE_BUTTONS;
    if ((mode & ~(KORVA_MOUSE_BUTTONS | KORVA_MOUSE_ALL_MOTION)) != 0) KORVA_printf(MOUSE_MODE_MESSAGE, mode, used);
    s.mouse.buttons = (used & KORVA_MOUSE_BUTTONS) ? 1 : 0;
    s.mouse.all_motion = (used & KORVA_MOUSE_ALL_MOTION) ? 1 : 0;
    s.mouse.last_x = s.mouse.last_y = INT32_MIN;
    s.mouse.wheel_rest = 0;
    if (!s.mouse.buttons && s.mouse.held != 0) let_go(static_cast<char>(s.mouse.held));
    return 1;
}
