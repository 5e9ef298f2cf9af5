// The event wait: one message at a time through the pump, periodic events timed by messages
// and ticks (or by the clock, when a frame rate is set), script playback and recording
// hand-offs, and KORVA_animate.
#include "korva/core/wait.h"

#include "korva/console/console_paint.h"
#include "korva/core/heroes.h"
#include "korva/core/state.h"
#include "korva/draw/raster.h"
#include "korva/extras/frame_pace.h"
#include "korva/extras/held_keys.h"
#include "korva/extras/replay.h"
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

// Asks the player for an event after a message; 1 when it gave one and the wait must end.
static bool play_after_message() {
    LibraryState& s = korva_state;
    if (!s.play_one && !s.playing_back) return false;
    // A quit message taken in this pass must not be overwritten by a played event:
    // it would be consumed and lost, and the program could never end.
    if (s.event_kind == KORVA_EXIT) return false;
    s.play_one = 0;
    if (play_event() == 1) return true;
    s.play_one = 0;
    s.playing_back = 0;
    if (s.replay.active) end_replay();
    return false;
}

// In replay mode the wait handles what is queued without blocking (see replay.cpp), so the
// script is not paced by the tick.
static void take_messages() {
    if (korva_state.replay.active)
        pump_pending_messages();
    else
        pump_message();
}

// In replay mode the program's own animation adds no periodic events: they come only from the
// script, so a replay gives the same events on every run.
static bool live_periodic_allowed() {
    const LibraryState& s = korva_state;
    return (s.single_step || s.animating) && !s.replay.active;
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

// One pass of the wait once a frame rate is set: takes a message if one comes before the next
// frame, and delivers the frame's periodic event at once when its time has come. Messages
// never count toward a periodic event here. True when the wait must end.
static bool paced_pass() {
    LibraryState& s = korva_state;
    if (!frame_pace_active()) {
        // Halted (or a script plays): an ordinary pass, and the schedule starts afresh later.
        frame_pace_stop();
        take_messages();
        return play_after_message();
    }
    if (wait_for_message_or_frame()) {
        pump_message();
        if (play_after_message()) return true;
    }
    if (s.event_kind != KORVA_NONE || !frame_pace_active() || !frame_due()) return false;
    take_frame();
    s.event_kind = KORVA_PERIODIC;
    s.single_step = 0;
    return true;
}

int32_t await_event(EventRecord* out) {
    LibraryState& s = korva_state;
    if (!s.injected_event_pending) {
        reset_event();
        // Once a replay has ended the program is told to finish, without waiting for anything.
        if (s.replay.over) s.event_kind = KORVA_EXIT;
        // Releases and presses the keyboard's coming and going owes come before any message.
        hand_out_owed_key_event();
    }
    s.injected_event_pending = 0;
    keep_console_paint_pending();
    int32_t messages = 0;

    while (s.event_kind == KORVA_NONE || (s.event_kind == KORVA_PERIODIC && !s.timer_ticked)) {
        // Saturates: only "above the limit" matters, and an idle wait may pump for years.
        if (messages <= PERIODIC_AFTER_MESSAGES) ++messages;
        if (s.frame.rate > 0) {
            if (paced_pass()) break;
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

    hand_to_recorder();
    note_returned_event(s.event_kind, s.event.key);
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
        // The schedule starts afresh when the animation runs again, one period after that.
        frame_pace_stop();
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
