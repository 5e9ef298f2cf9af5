// The graphics window's procedure: menu commands, Ctrl shortcuts, the left click, the tick flag,
// the origin and the repaint, and the extensions' hooks around them. It only sets library state;
// the event wait turns that into events.
#include "korva/base/state.h"
#include "korva/core/menu.h"
#include "korva/core/window_procs.h"
#include "korva/draw/raster.h"
#include "korva/extras/hooks.h"

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

// Ctrl tracking and the Ctrl shortcuts. True when the key ran a shortcut: it then makes no key
// event of any kind, and no extension hears it.
static bool on_key_down(WPARAM key) {
    if (key == VK_CONTROL) {
        korva_state.control_key_down = 1;
        return false;
    }
    // The Ctrl state comes from the key messages alone; the keyboard is never asked.
    const Shortcut* shortcut = korva_state.control_key_down ? shortcut_of(key) : nullptr;
    if (shortcut == nullptr) return false;
    run_menu_command(shortcut->command);
    return true;
}

static void on_left_button_down(LPARAM position) {
    LibraryState& s = korva_state;
    int32_t px = static_cast<int32_t>(static_cast<uint32_t>(position) & 0xFFFF);
    int32_t py = static_cast<int32_t>((static_cast<uint32_t>(position) >> 16) & 0xFFFF);
    s.event.x = px - s.origin_x;
    s.event.y = s.origin_y - py;
    s.event_kind = KORVA_MOUSE;
}

// What the library's own handling does with a message.
enum OwnHandling {
    NOT_OWN,        // left to the default procedure, after the hooks
    HANDLED,        // handled; the hooks that come after may still hear it
    FINISHED,       // handled, and heard by nothing else
};

static OwnHandling own_handling(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        build_run_menu(window);
        return FINISHED;
    case WM_DESTROY:
        on_destroy(window);
        return FINISHED;
    case WM_SIZE:
        on_size(window);
        return FINISHED;
    case WM_PAINT:
        on_paint(window);
        return FINISHED;
    case WM_COMMAND:
        // The whole word: a notification code in the high half makes it an id without an item.
        if (wparam <= 0x7FFFFFFF) run_menu_command(static_cast<int32_t>(wparam));
        return FINISHED;
    case WM_KEYDOWN:
        return on_key_down(wparam) ? FINISHED : HANDLED;
    case WM_KEYUP:
        if (wparam == VK_CONTROL) korva_state.control_key_down = 0;
        return HANDLED;
    case WM_CHAR:
        // A character makes no event of the library's own.
        return HANDLED;
    case WM_TIMER:
        korva_state.timer_ticked = 1;
        return FINISHED;
    case WM_LBUTTONDOWN:
        on_left_button_down(lparam);
        return HANDLED;
    default:
        return NOT_OWN;
    }
}

// Asks the hooks of one phase for the message, in the table's order; true when one took it.
static bool run_hooks(HookPhase phase, UINT message, WPARAM wparam, LPARAM lparam) {
    for (size_t i = 0; i < WINDOW_HOOK_COUNT; ++i) {
        const WindowHook& hook = WINDOW_HOOKS[i];
        if (hook.message == message && hook.phase == phase && hook.take(message, wparam, lparam)) return true;
    }
    return false;
}

LRESULT CALLBACK graphics_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (run_hooks(HOOK_BEFORE, message, wparam, lparam)) return 0;
    const OwnHandling handling = own_handling(window, message, wparam, lparam);
    if (handling == FINISHED) return 0;
    if (run_hooks(HOOK_AFTER, message, wparam, lparam) || handling == HANDLED) return 0;
    return DefWindowProcA(window, message, wparam, lparam);
}
