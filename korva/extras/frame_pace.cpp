// The frame schedule of timed animation and KORVA_frame_rate. Frames fall on an absolute
// schedule (anchor + index / rate), so lateness of one frame does not delay the next; a
// waitable timer wakes the wait, since the 50 ms tick is far too coarse for 60 frames a second.
#include "korva/extras/frame_pace.h"
#include "korva/extras/performance_counter.h"

#include "korva/base/state.h"

constexpr char FRAME_RATE_MESSAGE[] = "Frame rate of %d not possible, using frame rate %d\n";

// Not in every header set; the flag asks for a timer finer than the system's default
// granularity, and systems that lack it refuse the timer, so the plain kind is the fallback.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

static int64_t next_due() {
    const LibraryState& s = korva_state;
    return s.frame.anchor + s.frame.index * counter_frequency() / s.frame.rate;
}

// Starts the schedule at this moment: the first frame is one period away.
static void ensure_schedule() {
    LibraryState& s = korva_state;
    if (s.frame.running) return;
    s.frame.anchor = counter_now();
    s.frame.index = 1;
    s.frame.running = 1;
}

static void create_frame_timer() {
    LibraryState& s = korva_state;
    if (s.frame.timer != nullptr) return;
    s.frame.timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                           TIMER_ALL_ACCESS);
    if (s.frame.timer == nullptr) s.frame.timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
}

// The timed pace decides when periodic events come: a frame rate is set and animation runs or
// one frame is asked for (with no script playing), or the program has asked to quit (so it gets
// KORVA_EXIT in time).
static bool frame_pace_active() {
    const LibraryState& s = korva_state;
    if (s.frame.rate <= 0) return false;
    if (s.quit_requested) return true;
    // While a script plays, its own periodic lines are the animation: a live frame slipped in
    // between them would make the run play back as a different sequence of events.
    if (s.playing_back || s.play_one) return false;
    return s.animating || s.single_step;
}

void frame_pace_stop() {
    korva_state.frame.running = 0;
}

// The next frame's time has come.
static bool frame_due() {
    ensure_schedule();
    return counter_now() >= next_due();
}

// Sleeps until the frame's time or until something arrives for the thread; true when it
// was not the frame. With MWMO_INPUTAVAILABLE a message already queued wakes it as well.
static bool sleep_until_frame_or_arrival(int64_t left, DWORD flags) {
    LibraryState& s = korva_state;
    // Rounded up, so the wait never wakes before the frame and spins.
    int64_t frequency = counter_frequency();
    int64_t hundred_ns = (left * 10000000 + frequency - 1) / frequency;
    HANDLE timer = s.frame.timer;
    if (timer != nullptr) {
        // Set once per frame: ticks and other messages wake the wait between frames, and
        // each setting is a call into the system.
        int64_t due_at = next_due();
        if (s.frame.timer_due != due_at) {
            LARGE_INTEGER due;
            due.QuadPart = -hundred_ns;  // negative: relative to now
            SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
            s.frame.timer_due = due_at;
        }
        bool arrival = MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_ALLINPUT, flags) == WAIT_OBJECT_0 + 1;
        // The timer has fired and reset itself; a later sleep toward this frame sets it again.
        if (!arrival) s.frame.timer_due = 0;
        return arrival;
    }
    // No timer could be made: the wait's own timeout, in whole milliseconds.
    DWORD milliseconds = static_cast<DWORD>((hundred_ns + 9999) / 10000);
    return MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, flags) == WAIT_OBJECT_0;
}

// Blocks until a message is waiting (true) or the next frame is due (false).
static bool wait_for_message_or_frame() {
    ensure_schedule();
    // A message already in the queue is taken first, so input keeps flowing however busy the
    // program is: the first sleep returns at once while the queue holds one.
    DWORD flags = MWMO_INPUTAVAILABLE;
    for (;;) {
        int64_t left = next_due() - counter_now();
        if (left > 0 && !sleep_until_frame_or_arrival(left, flags)) return false;
        // The look also handles messages sent by other threads and windows: those wake the
        // sleep but leave nothing to take, and taking a message then would block until some
        // later message, long past the frame.
        MSG waiting;
        if (PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) return true;
        if (left <= 0) return false;
        // Everything queued has now been looked at: from here only new arrivals may wake the
        // sleep, or anything the look cannot take would wake it again and again.
        flags = 0;
    }
}

// The due frame is delivered: moves the schedule to the next frame. A program that fell more
// than a frame behind skips the missed frames, so at most one frame is ever pending.
static void take_frame() {
    LibraryState& s = korva_state;
    ensure_schedule();
    s.frame.last_due = next_due();
    ++s.frame.index;
    const int64_t now = counter_now();
    if (next_due() <= now) {
        // More than a frame behind: the missed frames are dropped, not queued up, and the next
        // one is the first still to come on the same schedule, so lateness never shifts the
        // phase. Frame k is due at or before now exactly when k <= (now - anchor) * rate / f.
        const int64_t frequency = counter_frequency();
        const int64_t elapsed = now - s.frame.anchor;
        const int64_t whole_seconds = elapsed / frequency;
        const int64_t within = (elapsed % frequency) * s.frame.rate / frequency;
        s.frame.anchor += whole_seconds * frequency;
        s.frame.index = within + 1;
        // The division rounds down, so the frame after may fall on this very count.
        if (next_due() <= now) ++s.frame.index;
    }
    // A whole second of frames is exactly one second of counts: moving the anchor keeps the
    // products small without any drift.
    if (s.frame.index > s.frame.rate) {
        s.frame.anchor += counter_frequency();
        s.frame.index -= s.frame.rate;
    }
}

PacedPass paced_pass() {
    if (korva_state.frame.rate <= 0) return PACE_OFF;
    if (!frame_pace_active()) {
        // Halted (or a script plays): the schedule starts afresh later.
        frame_pace_stop();
        return PACE_IDLE;
    }
    return wait_for_message_or_frame() ? PACE_MESSAGE : PACE_FRAME;
}

bool take_due_frame() {
    if (!frame_pace_active() || !frame_due()) return false;
    take_frame();
    return true;
}

int KORVA_frame_rate(int32_t per_second) {
    LibraryState& s = korva_state;
    if (!library_open()) return 0;
    int32_t rate = per_second;
    if (rate < 0) rate = 0;
    if (rate > KORVA_MAX_FRAME_RATE) rate = KORVA_MAX_FRAME_RATE;
    if (rate != per_second) KORVA_printf(FRAME_RATE_MESSAGE, per_second, rate);
    if (rate > 0) create_frame_timer();
    s.frame.rate = rate;
    // A new rate starts a new schedule at the next wait.
    s.frame.running = 0;
    return 1;
}
