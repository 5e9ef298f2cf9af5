// The clock that replays: KORVA_time (the current event's time) and KORVA_clock (the time now),
// in milliseconds since KORVA_open. While recording, each answer the program is given goes into
// the script right after the current event's line; while a script plays, the answers come from
// there, so a replayed game sees the times the recorded one saw.
#include <stdint.h>

#include "korva/base/state.h"
#include "korva/extras/clock.h"
#include "korva/extras/performance_counter.h"
#include "korva/extras/replay.h"
#include "korva/platform/script_line.h"
#include "korva/script/script.h"

// Held at the largest 32-bit count (after 24.8 days) rather than wrapping to negative times.
static int32_t milliseconds_since_open() {
    const int64_t since = (counter_now() - korva_state.clock.opened) * 1000 / counter_frequency();
    return since > INT32_MAX ? INT32_MAX : static_cast<int32_t>(since);
}

void clock_open() {
    korva_state.clock = RecordedClock{};
    korva_state.clock.opened = counter_now();
    korva_state.clock.played_time = -1;
    korva_state.clock.played_clock = -1;
    korva_state.clock.played_clock_before_event = -1;
    // Before the first event the time is 0, in every run alike: nothing to record or replay.
    korva_state.clock.event_time_given = 1;
}

void clock_event_returned() {
    RecordedClock& c = korva_state.clock;
    c.event_time = milliseconds_since_open();
    c.event_time_given = 0;
    c.played_clock_before_event = c.played_clock;
}

// Whether a played value is one the recorder could have written: never negative, an event's
// time no earlier than the last event's or any reading taken before this event, a reading no
// earlier than any time handed out before it.
static bool could_be_recorded(bool event_time, int32_t value) {
    const RecordedClock& c = korva_state.clock;
    if (value < 0) return false;
    if (event_time) return value >= c.played_time && value >= c.played_clock_before_event;
    return value >= c.played_clock && value >= c.played_time;
}

static void note_played(bool event_time, int32_t value) {
    RecordedClock& c = korva_state.clock;
    if (event_time)
        c.played_time = value;
    else
        c.played_clock = value;
}

// The answer the program is given: recorded, or taken from the playing script.
static int32_t given_time(bool event_time, int32_t live) {
    LibraryState& s = korva_state;
    if (s.recording) {
        record_value(SCRIPT_NOW, live, 0);
        return live;
    }
    if (!s.replay.active && !s.playing_back) return live;
    RecordedClock& c = s.clock;
    if (c.played_reading != s.script_readings) {
        // A new playback: what the last one handed out says nothing about this one's times.
        c.played_reading = s.script_readings;
        c.played_time = c.played_clock = c.played_clock_before_event = -1;
    }
    int32_t recorded = 0, unused = 0;
    if (play_value(SCRIPT_NOW, &recorded, &unused)) {
        if (could_be_recorded(event_time, recorded)) {
            note_played(event_time, recorded);
            return recorded;
        }
        // A damaged line: playback ends there, as at any line that cannot be read, and the
        // program goes on with its own clock.
        KORVA_printf("Script file %s holds the time %d, which no recording holds here; playback ends\n",
                     script_file_name(), static_cast<int>(recorded));
        stop_playback();
        if (s.replay.active) end_replay();
        return live;
    }
    // Once for each reading of the script: a recording made before the program asked for the
    // time lacks it at every call.
    if (c.reading_said != s.script_readings) {
        c.reading_said = s.script_readings;
        KORVA_printf("Script file %s holds no time for this call; the clock's own time, %d, is used\n",
                     script_file_name(), static_cast<int>(live));
    }
    return live;
}

int KORVA_time() {
    RecordedClock& c = korva_state.clock;
    if (!library_open()) return 0;
    if (!c.event_time_given) {
        c.event_time = given_time(true, c.event_time);
        c.event_time_given = 1;
    }
    return c.event_time;
}

int KORVA_clock() {
    if (!library_open()) return 0;
    return given_time(false, milliseconds_since_open());
}
