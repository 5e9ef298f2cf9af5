// Chance that replays: KORVA_random and KORVA_seed_random over one generator, whose state goes
// into a recording and comes back in its replay, so a replayed game draws the same numbers.
//
// A recording holds the state right after each event in whose turn the program draws (before
// the turn's first draw), and, when the program drew before the recording's first event, as its
// first line the state the generator had at open (or as the program last seeded it). A replay
// from the start takes that first line at open; any playback takes each turn's line at the
// turn's first draw, so it draws what the recorded run drew even when it starts mid-way.
#include "korva/base/state.h"
#include "korva/extras/chance.h"
#include "korva/extras/performance_counter.h"
#include "korva/extras/random_numbers.h"
#include "korva/platform/script_line.h"
#include "korva/script/script.h"

static bool script_plays() {
    return korva_state.replay.active || korva_state.playing_back;
}

static int32_t high_half(uint64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v >> 32)); }
static int32_t low_half(uint64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
static uint64_t from_halves(int32_t high, int32_t low) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | static_cast<uint32_t>(low);
}

// The generator is seeded once per process, at the first draw or seed, whichever comes first:
// a program may seed before it opens the library, and a second open goes on with the numbers.
static void seed_from_clock_once() {
    Chance& c = korva_state.chance;
    if (c.seeded) return;
    const int64_t now = counter_now();
    c.state = seeded_state(static_cast<uint32_t>(now) ^ static_cast<uint32_t>(now >> 32) ^ GetCurrentProcessId());
    c.seeded = 1;
}

void chance_open() {
    Chance& c = korva_state.chance;
    seed_from_clock_once();
    c.opened_state = c.state;
    c.used = 0;
    // A replay whose recording begins with the generator's state draws from it from the start.
    int32_t high = 0, low = 0;
    if (korva_state.replay.active && play_value(SCRIPT_RANDOM, &high, &low)) {
        c.state = c.opened_state = from_halves(high, low);
    }
    // Draws before the first event have no line of their own.
    c.noted = 1;
}

void chance_event_ready() {
    LibraryState& s = korva_state;
    // This event opens a new recording file: it starts with the state the draws so far began from.
    if (!s.recording || s.script_file != nullptr || !s.chance.used) return;
    record_value(SCRIPT_RANDOM, high_half(s.chance.opened_state), low_half(s.chance.opened_state));
}

void chance_event_returned() {
    korva_state.chance.noted = 0;
}

// Before a draw: the first of an event's turn writes the state while recording, and takes it
// while a script plays.
static void note_state() {
    LibraryState& s = korva_state;
    Chance& c = s.chance;
    c.used = 1;
    if (c.noted) return;
    c.noted = 1;
    if (s.recording) {
        record_value(SCRIPT_RANDOM, high_half(c.state), low_half(c.state));
    } else if (script_plays()) {
        int32_t high = 0, low = 0;
        if (play_value(SCRIPT_RANDOM, &high, &low)) c.state = from_halves(high, low);
    }
}

int KORVA_random(int32_t low, int32_t high) {
    seed_from_clock_once();
    note_state();
    return random_in_range(&korva_state.chance.state, low, high);
}

int KORVA_seed_random(int32_t seed) {
    Chance& c = korva_state.chance;
    c.used = 1;
    c.seeded = 1;
    c.state = c.opened_state = seeded_state(static_cast<uint32_t>(seed));
    return 1;
}
