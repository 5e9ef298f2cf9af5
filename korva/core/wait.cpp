// The event wait: one message at a time through the pump, periodic events timed by messages
// and ticks, script playback and recording hand-offs, and KORVA_animate. The extensions' points
// (a frame rate's own pass, replay's pump, owed key events) are asked through the hooks.
#include "korva/core/wait.h"

#include "korva/base/command_ids.h"
#include "korva/base/heroes.h"
#include "korva/base/state.h"
#include "korva/console/console_paint.h"
#include "korva/core/commands.h"
#include "korva/draw/raster.h"
#include "korva/extras/hooks.h"
#include "korva/script/script.h"

// A periodic event is made from this message of a wait on (the 101st).
static constexpr int32_t PERIODIC_AFTER_MESSAGES = 100;

// The hero an event starts with: the first set control flag, tested in this order of
// HEROES (Blazrack, Besouru, Mushi).
static const int32_t CONTROL_TEST_ORDER[HERO_COUNT] = {1, 0, 2};

static void reset_event() {
    LibraryState& s = korva_state;
    s.event_kind = KORVA_NONE;
    s.event.key = 0;
    s.event.y = 0;
    s.event.x = 0;
    for (int32_t hero : CONTROL_TEST_ORDER) {
        if (s.*HERO_CONTROL_FLAGS[hero]) {
            set_character(&s.event.hero, HEROES[hero]);
            return;
        }
    }
    set_character(&s.event.hero, HERO_NOBODY);
}

// The player's next event. A menu command line that it hands back runs here as the menu would run
// it (never written: no recording runs while a script plays); one that makes no event is
// applied, and the next line is read for this same request, as the command would have run
// inside the wait that returned that line.
static bool play_script_event() {
    for (;;) {
        int32_t command = 0;
        PlayResult played = play_event(extensions_script_file_name(), extensions_command_lines_played(),
                                       extensions_script_end_is_normal(), &command);
        if (played != PLAY_COMMAND) return played == PLAY_EVENT;
        CommandPlay play = extensions_play_command_line(command);
        if (play == COMMAND_REFUSED) {
            stop_playback();
            return false;
        }
        run_program_command(command);
        if (command == CMD_QUIT) {
            // Quit posts the quit message, which the wait would turn into KORVA_EXIT at its next
            // message; taking it here makes EXIT this request's event, once, as the menu's Quit
            // gives it once, and no later line is read in its place.
            MSG quit;
            PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
            korva_state.event_kind = KORVA_EXIT;
        }
        if (play == COMMAND_MAKES_EVENT) return true;
    }
}

// Asks the player for an event after a message; true when it gave one and the wait must end.
static bool play_after_message() {
    LibraryState& s = korva_state;
    if (!s.play_one && !s.playing_back) return false;
    // A quit message taken in this pass must not be overwritten by a played event:
    // it would be consumed and lost, and the program could never end.
    if (s.event_kind == KORVA_EXIT) return false;
    s.play_one = 0;
    if (play_script_event()) return true;
    s.play_one = 0;
    s.playing_back = 0;
    extensions_playback_ended();
    return false;
}

// The messages of one pass: the pump, unless an extension takes them (replay mode).
static void take_messages() {
    if (!extensions_take_messages()) pump_message();
}

static bool live_periodic_allowed() {
    const LibraryState& s = korva_state;
    return (s.single_step || s.animating) && extensions_live_periodic_allowed();
}

static void hand_to_recorder() {
    LibraryState& s = korva_state;
    if (!s.recording) return;
    if (s.event_kind == KORVA_PERIODIC) {
        ++s.periodic_count;
        return;
    }
    // A run of periodic events is written as one line, just before the next other event.
    if (s.periodic_count > 0) {
        record_event(KORVA_PERIODIC, s.event);
        s.periodic_count = 0;
    }
    record_event(s.event_kind, s.event);
}

void pump_message() {
    LibraryState& s = korva_state;
    MSG message;
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
        s.event_kind = KORVA_EXIT;
        return;
    }
    // -1 reports an error and leaves the message undefined: nothing is dispatched, and the
    // wait simply goes on with its next message.
    if (got == -1) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (s.canvas_dirty) {
        copy_canvas_to_window();
        s.canvas_dirty = 0;
    }
}

int32_t await_event(EventRecord* out) {
    LibraryState& s = korva_state;
    if (!s.injected_event_pending) {
        reset_event();
        extensions_wait_begins();
    }
    s.injected_event_pending = 0;
    keep_console_paint_pending();
    int32_t messages = 0;

    while (s.event_kind == KORVA_NONE || (s.event_kind == KORVA_PERIODIC && !s.timer_ticked)) {
        // Saturates: only "above the limit" matters, and an idle wait may pump for years.
        if (messages <= PERIODIC_AFTER_MESSAGES) ++messages;
        PacedPass paced = extensions_paced_pass();
        if (paced != PACE_OFF) {
            // A frame rate paces the wait: messages never count toward a periodic event, and
            // the frame's event is delivered as soon as its time has come.
            if (paced == PACE_IDLE) {
                take_messages();
                if (play_after_message()) break;
                continue;
            }
            if (paced == PACE_MESSAGE) {
                pump_message();
                if (play_after_message()) break;
            }
            if (s.event_kind == KORVA_NONE && extensions_take_due_frame()) {
                s.event_kind = KORVA_PERIODIC;
                s.single_step = 0;
                break;
            }
            continue;
        }
        take_messages();
        if (play_after_message()) break;
        if (live_periodic_allowed() && s.event_kind == KORVA_NONE &&
            messages > PERIODIC_AFTER_MESSAGES) {
            // Delivered at the next tick, unless a message completes another event first.
            s.event_kind = KORVA_PERIODIC;
            s.timer_ticked = 0;
            s.single_step = 0;
        }
    }

    extensions_event_ready();
    hand_to_recorder();
    extensions_wait_returns(s.event_kind, s.event.key);
    s.event.region = s.entry_direction;
    *out = s.event;
    return s.quit_requested ? KORVA_EXIT : s.event_kind;
}

int KORVA_wait_event(int32_t* x, int32_t* y, char* key, int32_t* region, CharacterRecord* hero) {
    EventRecord event;
    int32_t kind = await_event(&event);
    // A null place is skipped rather than written through.
    if (x) *x = event.x;
    if (y) *y = event.y;
    if (key) *key = event.key;
    if (region) *region = event.region;
    if (hero) *hero = event.hero;
    return kind;
}

int KORVA_animate(int32_t code) {
    LibraryState& s = korva_state;
    if (!library_open()) return 0;
    switch (code) {
    case ANIMATE_HALT:
        s.single_step = 0;
        s.animating = 0;
        extensions_animation_halted();
        break;
    case ANIMATE_SINGLE_STEP:
        s.single_step = 1;
        break;
    case ANIMATE_RUN:
        s.animating = 1;
        break;
    case ANIMATE_QUIT:
        s.quit_requested = 1;
        break;
    default:
        break;
    }
    return 1;
}
