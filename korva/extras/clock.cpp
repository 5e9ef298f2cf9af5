// The clock that replays: KORVA_time (the current event's time) and KORVA_clock (the time now),
// in milliseconds since KORVA_open. While recording, each answer the program is given goes into
// the script right after the current event's line; while a script plays, the answers come from
// there, so a replayed game sees the times the recorded one saw.
#include "korva/base/state.h"
#include "korva/extras/clock.h"
#include "korva/extras/performance_counter.h"
#include "korva/extras/replay.h"
#include "korva/platform/script_line.h"
#include "korva/script/script.h"

static int32_t milliseconds_since_open() {
    return static_cast<int32_t>((counter_now() - korva_state.clock.opened) * 1000 / counter_frequency());
}

void clock_open() {
    korva_state.clock = RecordedClock{};
    korva_state.clock.opened = counter_now();
    // Before the first event the time is 0, in every run alike: nothing to record or replay.
    korva_state.clock.event_time_given = 1;
}

void clock_event_returned() {
    korva_state.clock.event_time = milliseconds_since_open();
    korva_state.clock.event_time_given = 0;
}

// The answer the program is given: recorded, or taken from the playing script.
static int32_t given_time(int32_t live) {
    LibraryState& s = korva_state;
    if (s.recording) {
        record_value(SCRIPT_NOW, live, 0);
        return live;
    }
    if (!s.replay.active && !s.playing_back) return live;
    int32_t recorded = 0, unused = 0;
    if (play_value(SCRIPT_NOW, &recorded, &unused)) return recorded;
    KORVA_printf("Script file %s holds no time for this call; the clock's own time, %d, is used\n",
                 script_file_name(), static_cast<int>(live));
    return live;
}

int KORVA_time() {
    RecordedClock& c = korva_state.clock;
    if (!library_open()) return 0;
    if (!c.event_time_given) {
        c.event_time = given_time(c.event_time);
        c.event_time_given = 1;
    }
    return c.event_time;
}

int KORVA_clock() {
    if (!library_open()) return 0;
    return given_time(milliseconds_since_open());
}
