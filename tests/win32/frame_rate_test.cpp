// Timed animation against the real wait: with a frame rate set, a running animation gets its
// periodic events from the clock with no messages at all; Halt stops them, Advance one frame
// gives one, a quit request ends the next wait, messages still come first, recording counts
// the frames into runs, and a bad rate is corrected with a console line. Every check counts
// events and messages, never time.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "korva/core/wait.h"
#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

int32_t wait_kind(EventRecord* e = nullptr) {
    EventRecord local;
    int32_t kind = KORVA_wait_event(&local.x, &local.y, &local.key, &local.region, &local.hero);
    if (e) *e = local;
    return kind;
}

int64_t counter_frequency() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
}

class FrameRateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No tick messages: every message a wait takes is one the test posted.
        open_korva_without_ticks();
    }

    void SetUp() override {
        reset_wait_state();
        ASSERT_EQ(KORVA_frame_rate(60), 1);
    }

    void TearDown() override {
        take_leftovers();
        close_script();
        korva_state.quit_requested = 0;
        KORVA_frame_rate(0);
    }
};

TEST_F(FrameRateTest, RunningAnimationGetsPeriodicEventsWithNoMessagesOnTheSchedule) {
    korva_state.animating = 1;
    const int64_t period = counter_frequency() / 60;
    int64_t previous_due = 0;
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        EventRecord e;
        ASSERT_EQ(wait_kind(&e), KORVA_PERIODIC);
        EXPECT_EQ(e.x, 0);
        EXPECT_EQ(e.y, 0);
        EXPECT_EQ(e.key, 0);
        // Never faster than the rate: each frame is at least one period after the one before.
        if (i > 0) {
            EXPECT_GE(korva_state.frame.last_due - previous_due, period);
        }
        previous_due = korva_state.frame.last_due;
    }
}

TEST_F(FrameRateTest, HaltStopsThePaceAndTheMessageRuleDoesNotComeBack) {
    korva_state.animating = 1;
    ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
    KORVA_animate(ANIMATE_HALT);

    post_fillers(150);
    post_click(4, 5);
    post_fillers(2);
    EventRecord e;
    ASSERT_EQ(wait_kind(&e), KORVA_MOUSE);
    EXPECT_EQ(e.x, 4);
    EXPECT_EQ(take_leftovers(), 2) << "the wait took every message up to the click";
    EXPECT_EQ(korva_state.frame.running, 0);

    // Running again: a message already waiting is taken before a frame is made.
    korva_state.animating = 1;
    post_click(1, 1);
    EXPECT_EQ(wait_kind(), KORVA_MOUSE) << "a waiting message is taken before any frame";
}

int64_t counter_now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// A halt forgets the schedule at once, so running again without any wait between still gives
// the first frame one whole period after the run, not the frame the old schedule owed.
TEST_F(FrameRateTest, AfterAHaltTheFirstFrameIsOnePeriodAfterRunningAgain) {
    ASSERT_EQ(KORVA_frame_rate(20), 1);
    const int64_t period = counter_frequency() / 20;
    KORVA_animate(ANIMATE_RUN);
    ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
    KORVA_animate(ANIMATE_HALT);
    EXPECT_EQ(korva_state.frame.running, 0) << "the halt must reset the schedule";
    Sleep(150);  // the old schedule now owes frames
    const int64_t run_at = counter_now();
    KORVA_animate(ANIMATE_RUN);
    ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
    EXPECT_GE(korva_state.frame.last_due - run_at, period) << "the first frame after running again came early";
}

// Neither late: a program that takes each frame at once gets the frames of the asked rate, each
// due one period after the last; only a frame the machine itself was too late for is skipped,
// so nearly every step is exactly one period (at half the rate, none would be). The due times
// are the schedule's own, so this does not depend on the machine's speed.
TEST_F(FrameRateTest, FramesComeAtTheAskedRateNotSlower) {
    ASSERT_EQ(KORVA_frame_rate(20), 1);
    const int64_t period = counter_frequency() / 20;
    ASSERT_EQ(counter_frequency() % 20, 0) << "the check below needs a whole number of counts a frame";
    KORVA_animate(ANIMATE_RUN);
    ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
    int64_t previous_due = korva_state.frame.last_due;
    int one_period_steps = 0;
    constexpr int STEPS = 12;
    for (int i = 0; i < STEPS; ++i) {
        ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
        const int64_t step = korva_state.frame.last_due - previous_due;
        EXPECT_EQ(step % period, 0) << "a frame off the schedule";
        EXPECT_GE(step, period) << "a frame came early";
        one_period_steps += step == period;
        previous_due = korva_state.frame.last_due;
    }
    KORVA_animate(ANIMATE_HALT);
    EXPECT_GE(one_period_steps, STEPS / 2) << "frames came slower than the asked rate";
}

// A program busy for several periods gets one frame for the whole delay, and every frame falls
// on the same schedule as before: the due times differ by whole periods.
TEST_F(FrameRateTest, ALateProgramSkipsMissedFramesAndKeepsThePhase) {
    ASSERT_EQ(KORVA_frame_rate(20), 1);
    const int64_t period = counter_frequency() / 20;
    ASSERT_EQ(counter_frequency() % 20, 0) << "the check below needs a whole number of counts a frame";
    KORVA_animate(ANIMATE_RUN);
    ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
    const int64_t first_due = korva_state.frame.last_due;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("late round " + std::to_string(round));
        Sleep(175 + 40 * round);  // three and a half periods or more of work
        const int64_t woke = counter_now();
        ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
        const int64_t owed_due = korva_state.frame.last_due;
        EXPECT_LE(owed_due, woke) << "the frame owed for the delay comes at once";
        EXPECT_EQ((owed_due - first_due) % period, 0) << "the owed frame is off the schedule";
        ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
        EXPECT_GT(korva_state.frame.last_due, woke) << "a missed frame was delivered after the owed one";
        EXPECT_EQ((korva_state.frame.last_due - first_due) % period, 0) << "the schedule's phase moved";
    }
    KORVA_animate(ANIMATE_HALT);
}

TEST_F(FrameRateTest, AdvanceOneFrameGivesExactlyOne) {
    korva_state.animating = 1;
    SendMessageA(graphics(), WM_COMMAND, CMD_ADVANCE_FRAME, 0);
    ASSERT_EQ(korva_state.animating, 0);

    ASSERT_EQ(wait_kind(), KORVA_PERIODIC) << "the frame comes with no message at all";
    EXPECT_EQ(korva_state.single_step, 0);

    post_fillers(150);
    post_click(0, 0);
    EXPECT_EQ(wait_kind(), KORVA_MOUSE) << "the next wait must make no periodic event";
    EXPECT_EQ(take_leftovers(), 0);
}

TEST_F(FrameRateTest, QuitRequestEndsTheNextWaitWithNoInput) {
    for (uint8_t animating : {1, 0}) {
        SCOPED_TRACE(animating ? "running" : "halted");
        korva_state.animating = animating;
        ASSERT_EQ(KORVA_animate(ANIMATE_QUIT), 1);
        EXPECT_EQ(wait_kind(), KORVA_EXIT);
        korva_state.quit_requested = 0;
    }
}

TEST_F(FrameRateTest, FramesAreRecordedAsRunsAndPlayBackAsTheSameEvents) {
    korva_state.recording = 1;
    korva_state.animating = 1;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(wait_kind(), KORVA_PERIODIC);
    EXPECT_EQ(korva_state.periodic_count, 3);
    post_click(5, -6);
    ASSERT_EQ(wait_kind(), KORVA_MOUSE);
    korva_state.recording = 0;
    korva_state.animating = 0;
    close_script();
    ASSERT_EQ(read_file(SCRIPT_FILE_NAME), "KORVA_PERIODIC(3);\r\nKORVA_MOUSE(5, -6);\r\n");

    // Played back with the pace still set: the same four events, one per message.
    korva_state.playing_back = 1;
    const int32_t expected[] = {KORVA_PERIODIC, KORVA_PERIODIC, KORVA_PERIODIC, KORVA_MOUSE};
    for (int32_t kind : expected) {
        post_fillers(1);
        EXPECT_EQ(wait_kind(), kind);
    }
    EXPECT_EQ(korva_state.event.x, 5);
    EXPECT_EQ(korva_state.event.y, -6);
    korva_state.playing_back = 0;
}

// A message sent from another thread wakes the wait but leaves nothing in the queue: the wait
// must go on to its frame, not block for a message that may never come (no ticks here).
TEST_F(FrameRateTest, AMessageSentFromAnotherThreadDoesNotHoldUpTheFrame) {
    ASSERT_EQ(KORVA_frame_rate(4), 1);
    korva_state.animating = 1;
    HANDLE sender = CreateThread(nullptr, 0, [](void*) -> DWORD {
        Sleep(50);  // most likely while the wait sleeps toward its frame
        SendMessageA(korva_state.graphics_window, WM_NULL, 0, 0);
        return 0;
    }, nullptr, 0, nullptr);
    ASSERT_NE(sender, nullptr);
    EXPECT_EQ(wait_kind(), KORVA_PERIODIC);
    WaitForSingleObject(sender, INFINITE);
    CloseHandle(sender);
}

// Animation switched on during playback must not slip live frames between the played events.
// With the fastest pace a live frame would come long before the first 50 ms tick.
TEST_F(FrameRateTest, PlaybackMakesNoLiveFramesEvenWithAnimationOn) {
    write_file(SCRIPT_FILE_NAME, "KORVA_MOUSE(7, 8);\nKORVA_PERIODIC(2);\nKORVA_MOUSE(9, 10);\n");
    ASSERT_EQ(KORVA_frame_rate(KORVA_MAX_FRAME_RATE), 1);
    SetTimer(graphics(), TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    korva_state.playing_back = 1;
    korva_state.animating = 1;
    const int32_t expected[] = {KORVA_MOUSE, KORVA_PERIODIC, KORVA_PERIODIC, KORVA_MOUSE};
    for (int32_t kind : expected) EXPECT_EQ(wait_kind(), kind);
    EXPECT_EQ(korva_state.event.x, 9);
    KillTimer(graphics(), TICK_TIMER_ID);
    korva_state.playing_back = 0;
}

TEST_F(FrameRateTest, BadRatesAreCorrectedWithAConsoleLine) {
    struct Case {
        int32_t given;
        int32_t used;
        const char* message;  // null: none
    };
    const Case cases[] = {
        {-1, 0, "Frame rate of -1 not possible, using frame rate 0\n"},
        {INT_MIN, 0, "Frame rate of -2147483648 not possible, using frame rate 0\n"},
        {241, 240, "Frame rate of 241 not possible, using frame rate 240\n"},
        {INT_MAX, 240, "Frame rate of 2147483647 not possible, using frame rate 240\n"},
        {240, 240, nullptr},
        {1, 1, nullptr},
        {0, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        clear_console();
        EXPECT_EQ(KORVA_frame_rate(c.given), 1);
        EXPECT_EQ(korva_state.frame.rate, c.used);
        std::vector<std::string> expected;
        if (c.message) expected.push_back(c.message);
        EXPECT_EQ(console_lines(), expected);
    }
}

}  // namespace
