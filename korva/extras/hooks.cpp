// Every hook of the extensions into the library, in one place: the table of the graphics
// window procedure's hooks, in the order they are asked, and what each fixed point of open,
// close, the wait and the menu hands to. An extension that hears the window adds its rows to
// the table; one that takes part elsewhere adds a line to its point.
#include "korva/extras/hooks.h"

#include "korva/base/state.h"
#include "korva/extras/chance.h"
#include "korva/extras/clock.h"
#include "korva/extras/end_mark.h"
#include "korva/extras/frame_pace.h"
#include "korva/extras/held_keys.h"
#include "korva/extras/keyboard.h"
#include "korva/extras/mouse.h"
#include "korva/extras/pictures.h"
#include "korva/extras/replay.h"
#include "korva/extras/script_commands.h"
#include "korva/extras/sounds.h"
#include "korva/extras/turned_pictures.h"

const WindowHook WINDOW_HOOKS[] = {
    // A click is about to take the place of the event being assembled.
    {WM_LBUTTONDOWN, HOOK_BEFORE, held_keys_click_hook},
    // Keys: held keys first; a key-down they do not take may be a typed key.
    {WM_KEYDOWN, HOOK_AFTER, held_keys_key_hook},
    {WM_KEYDOWN, HOOK_AFTER, typed_key_down_hook},
    {WM_KEYUP, HOOK_AFTER, held_keys_key_hook},
    {WM_SYSKEYDOWN, HOOK_AFTER, held_keys_key_hook},
    {WM_SYSKEYUP, HOOK_AFTER, held_keys_key_hook},
    {WM_CHAR, HOOK_AFTER, typed_character_hook},
    // No key release reaches a window without the keyboard, nor one whose menu or move loop has it.
    {WM_KILLFOCUS, HOOK_AFTER, held_keys_keyboard_lost_hook},
    {WM_ENTERMENULOOP, HOOK_AFTER, held_keys_keyboard_lost_hook},
    {WM_ENTERSIZEMOVE, HOOK_AFTER, held_keys_keyboard_lost_hook},
    {WM_SETFOCUS, HOOK_AFTER, held_keys_keyboard_back_hook},
    {WM_EXITMENULOOP, HOOK_AFTER, held_keys_keyboard_back_hook},
    {WM_EXITSIZEMOVE, HOOK_AFTER, held_keys_keyboard_back_hook},
    // The rest of the mouse is the platform's own until the program asks for it.
    {WM_LBUTTONDOWN, HOOK_AFTER, mouse_button_hook},
    {WM_LBUTTONUP, HOOK_AFTER, mouse_button_hook},
    {WM_RBUTTONDOWN, HOOK_AFTER, mouse_button_hook},
    {WM_RBUTTONUP, HOOK_AFTER, mouse_button_hook},
    {WM_MBUTTONDOWN, HOOK_AFTER, mouse_button_hook},
    {WM_MBUTTONUP, HOOK_AFTER, mouse_button_hook},
    {WM_MOUSEMOVE, HOOK_AFTER, mouse_motion_hook},
    {WM_CAPTURECHANGED, HOOK_AFTER, mouse_capture_hook},
    {WM_MOUSEWHEEL, HOOK_AFTER, mouse_wheel_hook},
};
const size_t WINDOW_HOOK_COUNT = sizeof WINDOW_HOOKS / sizeof WINDOW_HOOKS[0];

void extensions_open_begins() {
    promise_end_mark();
}

void extensions_forget_last_run() {
    LibraryState& s = korva_state;
    s.keyboard = KeyboardChoice{};
    s.mouse = MouseChoice{};
    s.held_keys = HeldKeys{};
    s.frame.rate = 0;
    frame_pace_stop();
    s.replay = ReplayChoices{};
    s.answer_prompt = nullptr;
    s.rgb_colors.count = 0;
}

void extensions_open_ends() {
    read_environment_choices();
    // After replay mode has opened its script, whose first line may hold the generator's state.
    chance_open();
    clock_open();
}

void extensions_close_begins() {
    save_replay_canvas();
}

void extensions_close_ends() {
    free_pictures();
    end_picture_imaging();
    free_sounds();
}

void extensions_wait_begins() {
    // Once a replay has ended the program is told to finish, without waiting for anything.
    if (korva_state.replay.over) korva_state.event_kind = KORVA_EXIT;
    // Releases and presses the keyboard's coming and going owes come before any message.
    hand_out_owed_key_event();
}

PacedPass extensions_paced_pass() {
    return paced_pass();
}

bool extensions_take_due_frame() {
    return take_due_frame();
}

bool extensions_take_messages() {
    // In replay mode the wait handles what is queued without blocking, so the script is not
    // paced by the tick.
    if (!korva_state.replay.active) return false;
    pump_pending_messages();
    return true;
}

bool extensions_live_periodic_allowed() {
    // In replay mode the program's own animation adds no periodic events: they come only from
    // the script, so a replay gives the same events on every run.
    return !korva_state.replay.active;
}

void extensions_playback_ended() {
    if (korva_state.replay.active) end_replay();
}

void extensions_event_ready() {
    chance_event_ready();
}

void extensions_wait_returns(int32_t kind, char key) {
    note_returned_event(kind, key);
    clock_event_returned();
    chance_event_returned();
}

void extensions_animation_halted() {
    // The schedule starts afresh when the animation runs again, one period after that.
    frame_pace_stop();
}

void extensions_menu_command_runs(int32_t id) {
    // Written before it runs: the line must come before any event the command makes.
    record_menu_command(id);
}

const char* extensions_script_file_name() {
    return script_file_name();
}

bool extensions_script_end_is_normal() {
    return korva_state.replay.active;
}

bool extensions_command_lines_played() {
    return command_lines_played();
}

CommandPlay extensions_play_command_line(int32_t id) {
    return play_menu_command(id);
}
