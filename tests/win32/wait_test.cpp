// The event wait against the real graphics window: the reset, injected events, the 101-message
// rule for periodic events, the quit rule, the region, the five outputs, the recorder and player
// hand-offs and the canvas copy after a message. Every wait is fed by posted messages; the real
// tick timer is stopped, so ticks are the WM_TIMER messages a test posts itself.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "korva/base/heroes.h"
#include "korva/core/menu.h"
#include "korva/core/wait.h"
#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

void post_tick() { PostMessageA(graphics(), WM_TIMER, 99, 0); }

// Posts a sequence: 'F' filler, 'T' tick, 'C' click at (0, 0).
void post_sequence(const char* steps) {
    for (const char* c = steps; *c; ++c) {
        if (*c == 'F') post_fillers(1);
        if (*c == 'T') post_tick();
        if (*c == 'C') post_click(0, 0);
    }
}

// Posts what a periodic event needs while animation runs: 101 messages, then a tick.
void post_periodic() {
    post_fillers(101);
    post_tick();
}

struct Outputs {
    int32_t x;
    int32_t y;
    char key;
    int32_t region;
    CharacterRecord hero;
};

// Fills every output with a marker first, so a place the wait leaves alone shows.
int32_t wait_into(Outputs* o) {
    memset(o, 0x5A, sizeof *o);
    return KORVA_wait_event(&o->x, &o->y, &o->key, &o->region, &o->hero);
}

class WaitTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        open_korva_without_ticks();
    }

    void SetUp() override {
        reset_wait_state();
    }

    void TearDown() override {
        take_leftovers();
        close_script();
        korva_state.quit_requested = 0;
    }
};

TEST_F(WaitTest, ResetTakesTheHeroFromTheControlFlagsInOrder) {
    struct Case {
        int32_t blazrack, besouru, mushi;
        const HeroIdentity* expected;
    };
    const Case cases[] = {
        {1, 1, 1, &HEROES[1]},  // Blazrack is tested first
        {0, 1, 1, &HEROES[0]},  // then Besouru
        {0, 0, 1, &HEROES[2]},  // then Mushi
        {0, 0, 0, &HERO_NOBODY},
    };
    for (const Case& c : cases) {
        korva_state.control_blazrack = c.blazrack;
        korva_state.control_besouru = c.besouru;
        korva_state.control_mushi = c.mushi;
        korva_state.event.x = 7;
        korva_state.event.y = 8;
        korva_state.event.key = 'k';
        set_character(&korva_state.event.hero, HEROES[0]);
        korva_state.animating = 1;
        post_periodic();

        Outputs o;
        SCOPED_TRACE(c.expected->name);
        ASSERT_EQ(wait_into(&o), KORVA_PERIODIC);
        EXPECT_EQ(o.x, 0);
        EXPECT_EQ(o.y, 0);
        EXPECT_EQ(o.key, 0);
        EXPECT_STREQ(o.hero.name, c.expected->name);
        EXPECT_STREQ(o.hero.item, c.expected->item);
        EXPECT_EQ(o.hero.id, c.expected->id);
    }
}

TEST_F(WaitTest, InjectedEventIsReturnedWithoutTakingAMessage) {
    LibraryState& s = korva_state;
    s.event_kind = KORVA_LEAVE;
    s.event.x = 5;
    s.event.y = -6;
    set_character(&s.event.hero, HEROES[2]);
    s.event.region = NORTH;
    s.entry_direction = EAST;
    s.injected_event_pending = 1;
    s.control_blazrack = 1;  // would replace the hero if the wait reset the event
    post_fillers(3);
    post_click(1, 1);

    Outputs o;
    ASSERT_EQ(wait_into(&o), KORVA_LEAVE);
    EXPECT_EQ(o.x, 5);
    EXPECT_EQ(o.y, -6);
    EXPECT_STREQ(o.hero.name, "Mushi the Thief");
    EXPECT_EQ(o.region, EAST) << "region is the entry direction, not the doorway";
    EXPECT_EQ(s.injected_event_pending, 0);
    EXPECT_EQ(take_leftovers(), 4) << "no queued message may be taken";
}

// Periodic events are timed in messages: made from the 101st message of a wait, delivered at
// the next tick after that. The leftovers show exactly how many messages the wait took.
TEST_F(WaitTest, PeriodicEventIsMadeFromThe101stMessageAndDeliveredAtTheNextTick) {
    struct Case {
        const char* what;
        uint8_t animating;
        int fillers;
        const char* then;
        int32_t expected_kind;
        int expected_left;
    };
    const Case cases[] = {
        {"tick after the 101st message delivers", 1, 101, "TFF", KORVA_PERIODIC, 2},
        {"a tick that is the 101st message does not", 1, 100, "TFTFF", KORVA_PERIODIC, 2},
        {"a tick before the 101st message does not", 1, 99, "TFFTFF", KORVA_PERIODIC, 2},
        {"a click while the periodic waits wins", 1, 101, "CTFF", KORVA_MOUSE, 3},
        {"a click before the 101st message", 1, 40, "CFF", KORVA_MOUSE, 2},
        {"halted: ticks make nothing", 0, 150, "TTCFF", KORVA_MOUSE, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        korva_state.animating = c.animating;
        korva_state.timer_ticked = 1;  // a tick from before the wait does not deliver
        post_fillers(c.fillers);
        post_sequence(c.then);
        Outputs o;
        EXPECT_EQ(wait_into(&o), c.expected_kind);
        EXPECT_EQ(take_leftovers(), c.expected_left);
    }
}

TEST_F(WaitTest, AdvanceOneFrameYieldsExactlyOnePeriodic) {
    korva_state.animating = 1;
    SendMessageA(graphics(), WM_COMMAND, CMD_ADVANCE_FRAME, 0);
    EXPECT_EQ(korva_state.animating, 0);
    EXPECT_EQ(korva_state.single_step, 1);

    post_periodic();
    Outputs o;
    ASSERT_EQ(wait_into(&o), KORVA_PERIODIC);
    EXPECT_EQ(korva_state.single_step, 0);

    post_fillers(150);
    post_sequence("TTC");
    EXPECT_EQ(wait_into(&o), KORVA_MOUSE) << "the next wait must make no periodic event";
}

TEST_F(WaitTest, QuitRequestStillAssemblesEachEventAndReturnsExit) {
    EXPECT_EQ(KORVA_animate(ANIMATE_QUIT), 1);
    EXPECT_EQ(korva_state.quit_requested, 1);

    post_click(3, 4);
    Outputs o;
    ASSERT_EQ(wait_into(&o), KORVA_EXIT);
    EXPECT_EQ(o.x, 3);
    EXPECT_EQ(o.y, 4);
    EXPECT_EQ(korva_state.event_kind, KORVA_MOUSE) << "the real event stays assembled";

    SendMessageA(graphics(), WM_COMMAND, CMD_MUSHI_ENTERS, 0);
    // The command ran outside a wait, so the next wait's reset clears its kind: a click ends it.
    post_click(-1, -2);
    ASSERT_EQ(wait_into(&o), KORVA_EXIT);
    EXPECT_EQ(o.x, -1);
    EXPECT_EQ(o.y, -2);
    EXPECT_EQ(korva_state.quit_requested, 1) << "the request is never cleared";
}

TEST_F(WaitTest, QuitMessageEndsTheWait) {
    korva_state.animating = 1;
    post_fillers(101);  // a periodic is pending when the quit message comes
    PostQuitMessage(0);
    Outputs o;
    EXPECT_EQ(wait_into(&o), KORVA_EXIT);
}

// The quit message must win over a played event in the same pass; otherwise it is consumed
// and lost, and a program in playback could never end.
TEST_F(WaitTest, QuitMessageIsNotLostDuringPlayback) {
    write_file(SCRIPT_FILE_NAME, "KORVA_MOUSE(1, 2);\nKORVA_MOUSE(3, 4);\n");
    korva_state.playing_back = 1;
    PostQuitMessage(0);
    Outputs o;
    EXPECT_EQ(wait_into(&o), KORVA_EXIT);
    korva_state.playing_back = 0;
}

TEST_F(WaitTest, EveryKindWritesAllFiveOutputsWithTheEntryDirectionAsRegion) {
    struct Case {
        const char* what;
        void (*produce)();
        int32_t direction;
        int32_t kind;
        int32_t x, y;
        char key;
        int32_t hero_id;
    };
    const Case cases[] = {
        {"click", [] { korva_state.control_mushi = 1; post_click(-12, 34); },
         -1, KORVA_MOUSE, -12, 34, 0, HERO_MUSHI_ID},
        {"periodic", [] { korva_state.animating = 1; post_periodic(); },
         NORTH, KORVA_PERIODIC, 0, 0, 0, HERO_NOBODY_ID},
        {"played key", [] {
             write_file(SCRIPT_FILE_NAME, "KORVA_KBD(-3);\n");
             korva_state.play_one = 1;
             post_fillers(1);
         }, SOUTH, KORVA_KBD, 0, 0, -3, HERO_NOBODY_ID},
        {"enters", [] { PostMessageA(graphics(), WM_COMMAND, CMD_BESOURU_ENTERS, 0); },
         WEST, KORVA_ENTER, 0, 0, 0, HERO_BESOURU_ID},
        {"leaves", [] { PostMessageA(graphics(), WM_COMMAND, CMD_BLAZRACK_LEAVES, 0); },
         EAST, KORVA_LEAVE, 0, 0, 0, HERO_BLAZRACK_ID},
        {"injected leave", [] {
             korva_state.event_kind = KORVA_LEAVE;
             korva_state.event = EventRecord{9, 8, 'z', SOUTH, {}};
             set_character(&korva_state.event.hero, HEROES[2]);
             korva_state.injected_event_pending = 1;
         }, NORTH, KORVA_LEAVE, 9, 8, 'z', HERO_MUSHI_ID},
        {"quit", [] { PostQuitMessage(0); }, WEST, KORVA_EXIT, 0, 0, 0, HERO_NOBODY_ID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        korva_state.entry_direction = c.direction;
        c.produce();
        Outputs o;
        ASSERT_EQ(wait_into(&o), c.kind);
        EXPECT_EQ(o.x, c.x);
        EXPECT_EQ(o.y, c.y);
        EXPECT_EQ(o.key, c.key);
        EXPECT_EQ(o.region, c.direction);
        EXPECT_EQ(o.hero.id, c.hero_id);
        const HeroIdentity* hero = c.hero_id ? hero_by_id(c.hero_id) : &HERO_NOBODY;
        EXPECT_STREQ(o.hero.name, hero->name);
        EXPECT_STREQ(o.hero.item, hero->item);
        take_leftovers();
    }
}

TEST_F(WaitTest, NullOutputPlacesAreSkipped) {
    post_click(2, 3);
    int32_t y = 0;
    EXPECT_EQ(KORVA_wait_event(nullptr, &y, nullptr, nullptr, nullptr), KORVA_MOUSE);
    EXPECT_EQ(y, 3);
}

TEST_F(WaitTest, ClickCarriesTheHeroNamedByAControlCommandInTheSameWait) {
    korva_state.control_besouru = 1;
    PostMessageA(graphics(), WM_COMMAND, CMD_CONTROL_BLAZRACK, 0);  // takes control
    PostMessageA(graphics(), WM_COMMAND, CMD_CONTROL_BLAZRACK, 0);  // and releases it
    post_click(1, 1);
    Outputs o;
    ASSERT_EQ(wait_into(&o), KORVA_MOUSE);
    EXPECT_STREQ(o.hero.name, "Blazrack the Wizard");
    EXPECT_STREQ(o.hero.item, "Magical Staff");
    EXPECT_EQ(o.hero.id, HERO_BLAZRACK_ID);

    post_click(1, 1);
    ASSERT_EQ(wait_into(&o), KORVA_MOUSE);
    EXPECT_STREQ(o.hero.name, "Nobody") << "the next wait starts again from the control flags";
}

TEST_F(WaitTest, RecorderGetsEachEventWithPeriodicRunsAsOneCount) {
    korva_state.recording = 1;
    korva_state.animating = 1;
    Outputs o;
    for (int i = 0; i < 3; ++i) {
        post_periodic();
        ASSERT_EQ(wait_into(&o), KORVA_PERIODIC);
    }
    EXPECT_EQ(korva_state.periodic_count, 3) << "periodic events are counted, not written";

    post_click(5, -6);
    ASSERT_EQ(wait_into(&o), KORVA_MOUSE);
    EXPECT_EQ(korva_state.periodic_count, 0);

    for (int i = 0; i < 2; ++i) {
        post_periodic();
        ASSERT_EQ(wait_into(&o), KORVA_PERIODIC);
    }
    // An Enters event writes no line of its own but flushes the pending count.
    PostMessageA(graphics(), WM_COMMAND, CMD_MUSHI_ENTERS, 0);
    ASSERT_EQ(wait_into(&o), KORVA_ENTER);
    EXPECT_EQ(korva_state.periodic_count, 0);

    korva_state.recording = 0;
    close_script();
    EXPECT_EQ(read_file(SCRIPT_FILE_NAME),
              "KORVA_PERIODIC(3);\r\nKORVA_MOUSE(5, -6);\r\nKORVA_PERIODIC(2);\r\n");
}

TEST_F(WaitTest, PlaybackThatCannotStartClearsBothFlagsAndTheWaitGoesOn) {
    korva_state.playing_back = 1;
    korva_state.play_one = 1;
    post_fillers(2);
    post_click(0, 0);
    Outputs o;
    EXPECT_EQ(wait_into(&o), KORVA_MOUSE);
    EXPECT_EQ(korva_state.playing_back, 0);
    EXPECT_EQ(korva_state.play_one, 0);
}

TEST_F(WaitTest, DirtyCanvasIsCopiedAfterADispatchedMessage) {
    const COLORREF colours[] = {RGB(200, 40, 10), RGB(10, 90, 220)};
    RECT all = {0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT};
    Outputs o;

    HBRUSH first = CreateSolidBrush(colours[0]);
    FillRect(korva_state.canvas_dc, &all, first);
    DeleteObject(first);
    korva_state.canvas_dirty = 1;
    post_click(0, 0);
    ASSERT_EQ(wait_into(&o), KORVA_MOUSE);
    EXPECT_EQ(korva_state.canvas_dirty, 0);
    EXPECT_EQ(GetPixel(korva_state.window_dc, 20, 20), colours[0]);

    // Not marked dirty: the next message copies nothing.
    HBRUSH second = CreateSolidBrush(colours[1]);
    FillRect(korva_state.canvas_dc, &all, second);
    DeleteObject(second);
    post_click(0, 0);
    ASSERT_EQ(wait_into(&o), KORVA_MOUSE);
    EXPECT_EQ(GetPixel(korva_state.window_dc, 20, 20), colours[0]);
}

}  // namespace
