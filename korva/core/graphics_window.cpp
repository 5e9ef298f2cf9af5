// The graphics window's procedure: menu commands, Ctrl shortcuts, keys, the mouse, the tick flag,
// the origin and the repaint. It only sets library state; the event wait turns that into events.
#include "korva/core/held_keys.h"
#include "korva/core/keyboard.h"
#include "korva/core/menu.h"
#include "korva/core/mouse.h"
#include "korva/core/state.h"
#include "korva/core/window_procs.h"
#include "korva/draw/raster.h"

// The eight Ctrl shortcuts: virtual-key code of the letter, and the menu command it runs.
struct Shortcut {
    WPARAM key;
    int32_t command;
};
static const Shortcut SHORTCUTS[] = {
    {'A', CMD_ANIMATE}, {'H', CMD_HALT},     {'F', CMD_ADVANCE_FRAME}, {'L', CMD_LOGGING},
    {'R', CMD_RECORD},  {'P', CMD_PLAYBACK}, {'O', CMD_PLAY_ONE},      {'Q', CMD_QUIT},
};

static void on_destroy(HWND window) {
    KillTimer(window, TICK_TIMER_ID);
    PostQuitMessage(0);
}

static void on_size(HWND window) {
    // The client rectangle, not the message's size, so the origin is right whoever asks.
    RECT client;
    GetClientRect(window, &client);
    korva_state.origin_x = client.left + (client.right - client.left) / 2;
    korva_state.origin_y = client.top + (client.bottom - client.top) / 2;
}

static void on_paint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    // The whole canvas goes to the window's own context, whatever the update region.
    copy_canvas_to_window();
    EndPaint(window, &paint);
    korva_state.canvas_dirty = 0;
}

static const Shortcut* shortcut_of(WPARAM key) {
    for (const Shortcut& shortcut : SHORTCUTS) {
        if (shortcut.key == key) return &shortcut;
    }
    return nullptr;
}

// A key that is a Ctrl shortcut runs its command and makes no key event of any kind. Otherwise
// a held-key event, when those are on, takes the press; else a keyboard event may.
static void on_key_down(WPARAM key, LPARAM info) {
    if (key == VK_CONTROL) {
        korva_state.control_key_down = 1;
        held_key_message(key, info, true);
        return;
    }
    // The held state comes from the key messages alone; the keyboard is never asked.
    const Shortcut* shortcut = korva_state.control_key_down ? shortcut_of(key) : nullptr;
    if (shortcut != nullptr) {
        run_menu_command(shortcut->command);
        return;
    }
    if (!held_key_message(key, info, true)) key_down_event(key);
}

static void on_key_up(WPARAM key, LPARAM info) {
    if (key == VK_CONTROL) korva_state.control_key_down = 0;
    held_key_message(key, info, false);
}

static void on_left_button_down(LPARAM position) {
    LibraryState& s = korva_state;
    int32_t px = static_cast<int32_t>(static_cast<uint32_t>(position) & 0xFFFF);
    int32_t py = static_cast<int32_t>((static_cast<uint32_t>(position) >> 16) & 0xFFFF);
    // With the whole mouse on, another button may hold the mouse, and a press outside the
    // window comes here with a negative position: read as the other button messages are.
    if (s.mouse.buttons) {
        px = static_cast<int16_t>(px);
        py = static_cast<int16_t>(py);
    }
    set_key_event_aside();
    s.event.x = px - s.origin_x;
    s.event.y = s.origin_y - py;
    s.event_kind = KORVA_MOUSE;
}

LRESULT CALLBACK graphics_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        build_run_menu(window);
        return 0;
    case WM_DESTROY:
        on_destroy(window);
        return 0;
    case WM_SIZE:
        on_size(window);
        return 0;
    case WM_PAINT:
        on_paint(window);
        return 0;
    case WM_COMMAND:
        // The whole word: a notification code in the high half makes it an id without an item.
        if (wparam <= 0x7FFFFFFF) run_menu_command(static_cast<int32_t>(wparam));
        return 0;
    case WM_KEYDOWN:
        on_key_down(wparam, lparam);
        return 0;
    case WM_KEYUP:
        on_key_up(wparam, lparam);
        return 0;
    // Keys pressed or released while Alt is held: held keys hear them, and the platform still
    // runs Alt's own part (the menu, Alt+F4).
    case WM_SYSKEYDOWN:
        held_key_message(wparam, lparam, true);
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_SYSKEYUP:
        held_key_message(wparam, lparam, false);
        return DefWindowProcA(window, message, wparam, lparam);
    // No key release reaches a window without the keyboard, nor one whose menu or move loop has it.
    case WM_KILLFOCUS:
    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
        keyboard_lost();
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_SETFOCUS:
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE:
        keyboard_back();
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_CHAR:
        character_event(wparam);
        return 0;
    case WM_TIMER:
        korva_state.timer_ticked = 1;
        return 0;
    case WM_LBUTTONDOWN:
        on_left_button_down(lparam);
        mouse_button_message(message, lparam);
        return 0;
    // The rest of the mouse is the platform's own until the program asks for it.
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        if (!korva_state.mouse.buttons) return DefWindowProcA(window, message, wparam, lparam);
        mouse_button_message(message, lparam);
        return 0;
    case WM_MOUSEMOVE:
        if (!korva_state.mouse.buttons) return DefWindowProcA(window, message, wparam, lparam);
        mouse_motion_message(wparam, lparam);
        return 0;
    case WM_CAPTURECHANGED:
        mouse_capture_lost();
        return DefWindowProcA(window, message, wparam, lparam);
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
