// The room's roster driven through the real event wait: menu commands and clicks are posted
// to the graphics window, KORVA_wait_event takes them, and the room loop's routine acts on them.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "room/room_events.h"
#include "room/roster.h"
#include "support/korva_session.h"

namespace {

struct Waited {
    int32_t kind;
    int32_t x, y, region;
    CharacterRecord hero;
};

class RoomTest : public ::testing::Test {
protected:
    Roster room{};

    void SetUp() override {
        open_korva_once();
        KORVA_animate(ANIMATE_HALT);
        drain_messages();
        LibraryState& s = korva_state;
        // Each test starts as a fresh run would: nobody under control, no entry direction.
        s.control_besouru = s.control_blazrack = s.control_mushi = 0;
        s.entry_direction = -1;
        s.injected_event_pending = 0;
        for (int32_t id : {CMD_FROM_NORTH, CMD_FROM_SOUTH, CMD_FROM_EAST, CMD_FROM_WEST})
            CheckMenuItem(s.run_menu, id, MF_UNCHECKED);
        clear_console();
    }

    static void command(int32_t id) { PostMessageA(korva_state.graphics_window, WM_COMMAND, id, 0); }

    // A left click at a point of the centred, y-up drawing coordinates.
    static void click(int32_t x, int32_t y) {
        const int px = korva_state.origin_x + x;
        const int py = korva_state.origin_y - y;
        PostMessageA(korva_state.graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px, py));
    }

    // One pass of the room loop without the drawing: wait, then act on the event.
    Waited wait_and_apply() {
        Waited w{};
        char key = 0;
        w.kind = KORVA_wait_event(&w.x, &w.y, &key, &w.region, &w.hero);
        apply_room_event(&room, w.kind, w.x, w.y, w.region, w.hero);
        return w;
    }

    struct Entry {
        int32_t id, x, y;
    };

    void expect_roster(const std::vector<Entry>& expected, const char* when) {
        ASSERT_EQ(static_cast<int32_t>(expected.size()), room.hero_count) << when;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].id, room.roster[i].id) << when << ": entry " << i;
            EXPECT_EQ(expected[i].x, room.positions[i].x) << when << ": entry " << i;
            EXPECT_EQ(expected[i].y, room.positions[i].y) << when << ": entry " << i;
        }
    }
};

UINT menu_state(int32_t id) { return GetMenuState(korva_state.run_menu, id, MF_BYCOMMAND); }

TEST_F(RoomTest, HeroesEnterInOrderAtTheChosenDoorwayAndLeaveKeepingTheOthers) {
    command(CMD_BESOURU_ENTERS);
    Waited w = wait_and_apply();
    EXPECT_EQ(KORVA_ENTER, w.kind);
    EXPECT_EQ(-1, w.region);
    EXPECT_STREQ("Besouru the Fighter", room.roster[0].name);
    EXPECT_STREQ("Magic Medalion", room.roster[0].item);

    command(CMD_FROM_EAST);  // changes the direction only; the wait goes on to the next event
    command(CMD_MUSHI_ENTERS);
    w = wait_and_apply();
    EXPECT_EQ(KORVA_ENTER, w.kind);
    EXPECT_EQ(EAST, w.region);

    command(CMD_FROM_NORTH);
    command(CMD_BLAZRACK_ENTERS);
    wait_and_apply();
    expect_roster({{HERO_BESOURU_ID, 0, 0}, {HERO_MUSHI_ID, 60, -60}, {HERO_BLAZRACK_ID, 60, 60}},
                  "after three entries");

    command(CMD_MUSHI_LEAVES);
    EXPECT_EQ(KORVA_LEAVE, wait_and_apply().kind);
    expect_roster({{HERO_BESOURU_ID, 0, 0}, {HERO_BLAZRACK_ID, 60, 60}}, "after Mushi leaves");

    command(CMD_BLAZRACK_LEAVES);
    wait_and_apply();
    expect_roster({{HERO_BESOURU_ID, 0, 0}}, "after the last entry leaves");
    EXPECT_EQ(HERO_BLAZRACK_ID, room.roster[1].id) << "removing the last entry only counts down";
}

TEST_F(RoomTest, DuplicateHeroStandsTwiceAndClicksAndLeavesConcernTheFirstEntry) {
    command(CMD_BESOURU_ENTERS);
    wait_and_apply();
    command(CMD_FROM_WEST);
    command(CMD_BESOURU_ENTERS);
    wait_and_apply();
    expect_roster({{HERO_BESOURU_ID, 0, 0}, {HERO_BESOURU_ID, -60, 60}}, "after entering twice");

    command(CMD_CONTROL_BESOURU);
    click(10, -25);
    Waited w = wait_and_apply();
    EXPECT_EQ(KORVA_MOUSE, w.kind);
    EXPECT_EQ(HERO_BESOURU_ID, w.hero.id);
    expect_roster({{HERO_BESOURU_ID, 10, -25}, {HERO_BESOURU_ID, -60, 60}}, "after a click");
    EXPECT_EQ(0, korva_state.injected_event_pending) << "a click outside every doorway injects nothing";
    EXPECT_EQ(1, korva_state.control_besouru);

    command(CMD_BESOURU_LEAVES);
    wait_and_apply();
    expect_roster({{HERO_BESOURU_ID, -60, 60}}, "after one LEAVE");
}

TEST_F(RoomTest, LeaveOfAHeroNotInTheRoomChangesNothing) {
    command(CMD_MUSHI_LEAVES);
    EXPECT_EQ(KORVA_LEAVE, wait_and_apply().kind);
    expect_roster({}, "empty roster");

    command(CMD_BLAZRACK_ENTERS);
    wait_and_apply();
    command(CMD_MUSHI_LEAVES);
    wait_and_apply();
    expect_roster({{HERO_BLAZRACK_ID, 0, 0}}, "Blazrack alone");
    EXPECT_STREQ("Blazrack the Wizard", room.roster[0].name);
}

TEST_F(RoomTest, TheFiftyFirstHeroDoesNotEnterAndSaysSoOnce) {
    const int32_t enters[] = {CMD_BESOURU_ENTERS, CMD_MUSHI_ENTERS, CMD_BLAZRACK_ENTERS};
    for (int32_t i = 0; i < ROSTER_CAPACITY; ++i) {
        command(enters[i % 3]);
        ASSERT_EQ(KORVA_ENTER, wait_and_apply().kind) << "entry " << i;
    }
    EXPECT_TRUE(console_lines().empty());
    const CharacterRecord last = room.roster[ROSTER_CAPACITY - 1];

    command(CMD_MUSHI_ENTERS);
    EXPECT_EQ(KORVA_ENTER, wait_and_apply().kind);
    EXPECT_EQ(ROSTER_CAPACITY, room.hero_count);
    EXPECT_EQ(0, memcmp(&last, &room.roster[ROSTER_CAPACITY - 1], sizeof last));
    const std::vector<std::string> expected = {"The room is full (50 heroes): Mushi the Thief stays outside\n"};
    EXPECT_EQ(expected, console_lines());
}

TEST_F(RoomTest, ClickInADoorwayLeavesBeforeAnyMessageIsReadAndReleasesControl) {
    command(CMD_BLAZRACK_ENTERS);
    wait_and_apply();
    command(CMD_BESOURU_ENTERS);
    wait_and_apply();
    command(CMD_CONTROL_BESOURU);
    click(65, 44);  // inside the north doorway
    Waited w = wait_and_apply();
    ASSERT_EQ(KORVA_MOUSE, w.kind);
    expect_roster({{HERO_BLAZRACK_ID, 0, 0}, {HERO_BESOURU_ID, 65, 44}}, "Besouru stands in the doorway");

    EXPECT_EQ(1, korva_state.injected_event_pending);
    EXPECT_EQ(KORVA_LEAVE, korva_state.event_kind);
    EXPECT_EQ(NORTH, korva_state.event.region);
    EXPECT_EQ(0, korva_state.control_besouru);
    const UINT state = menu_state(CMD_CONTROL_BESOURU);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), state & MF_GRAYED) << "menu state " << state;
    EXPECT_EQ(0u, state & MF_CHECKED) << "menu state " << state;

    // A message already queued must still be queued after the wait that returns the LEAVE.
    const UINT marker = WM_APP + 17;
    PostMessageA(korva_state.graphics_window, marker, 0, 0);
    w = wait_and_apply();
    EXPECT_EQ(KORVA_LEAVE, w.kind);
    EXPECT_EQ(HERO_BESOURU_ID, w.hero.id);
    EXPECT_STREQ("Besouru the Fighter", w.hero.name);
    expect_roster({{HERO_BLAZRACK_ID, 0, 0}}, "after the injected LEAVE");
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, korva_state.graphics_window, marker, marker, PM_NOREMOVE))
        << "the injected LEAVE must come before any queued message is read";

    // Nobody is under control now, so the next click moves nobody.
    click(-5, 5);
    w = wait_and_apply();
    EXPECT_EQ(KORVA_MOUSE, w.kind);
    EXPECT_EQ(HERO_NOBODY_ID, w.hero.id);
    expect_roster({{HERO_BLAZRACK_ID, 0, 0}}, "after a click with nobody under control");
    EXPECT_FALSE(PeekMessageA(&msg, korva_state.graphics_window, marker, marker, PM_NOREMOVE));
}

}  // namespace
