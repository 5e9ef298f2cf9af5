// The graphics window's procedure against the real window: the "&Run" menu as built, the menu
// commands, the Ctrl shortcuts, the mouse transform, the tick flag, the origin and the repaint.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "korva/base/heroes.h"
#include "korva/core/menu.h"
#include "korva/script/script.h"
#include "support/korva_session.h"

namespace {

HWND graphics() { return korva_state.graphics_window; }

void command(WPARAM id) { SendMessageA(graphics(), WM_COMMAND, id, 0); }
void key_down(WPARAM key) { SendMessageA(graphics(), WM_KEYDOWN, key, 0); }
void key_up(WPARAM key) { SendMessageA(graphics(), WM_KEYUP, key, 0); }

UINT item_state(int32_t id) { return GetMenuState(korva_state.run_menu, static_cast<UINT>(id), MF_BYCOMMAND); }
bool checked(int32_t id) { return (item_state(id) & MF_CHECKED) != 0; }
bool grayed(int32_t id) { return (item_state(id) & MF_GRAYED) != 0; }

void set_check(int32_t id, bool on) {
    CheckMenuItem(korva_state.run_menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

// Takes a queued quit message, if there is one.
bool take_quit() {
    MSG m;
    return PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// Everything a command could change: the whole state, byte for byte, and every item's state.
struct Snapshot {
    unsigned char state[sizeof(LibraryState)];
    std::vector<UINT> items;
};

Snapshot snapshot() {
    Snapshot s;
    memcpy(s.state, &korva_state, sizeof korva_state);
    for (int i = 0; i < GetMenuItemCount(korva_state.run_menu); ++i)
        s.items.push_back(GetMenuState(korva_state.run_menu, static_cast<UINT>(i), MF_BYPOSITION));
    return s;
}

bool same(const Snapshot& a, const Snapshot& b) {
    return memcmp(a.state, b.state, sizeof a.state) == 0 && a.items == b.items;
}

class GraphicsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_once();
        KillTimer(graphics(), TICK_TIMER_ID);  // no tick may change the state under a test
        drain_messages();
        take_quit();
        LibraryState& s = korva_state;
        if (s.recording) toggle_recording();
        if (s.playing_back) toggle_playback();
        s.play_one = 0;
        s.animating = 0;
        s.single_step = 0;
        s.logging = 1;
        set_check(CMD_LOGGING, true);
        s.control_key_down = 0;
        s.event_kind = KORVA_NONE;
        s.timer_ticked = 0;
        s.entry_direction = -1;
    }
    void TearDown() override { korva_state.control_key_down = 0; }
};

TEST_F(GraphicsWindowTest, RunMenuIsBuiltFromTheTable) {
    // The window's bar holds one popup, "&Run", which is run_menu.
    HMENU bar = GetMenu(graphics());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    char text[64] = {};
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Run");
    EXPECT_EQ(GetSubMenu(bar, 0), korva_state.run_menu);

    // A fresh build on a scratch window shows the initial states, whatever earlier tests did.
    HWND scratch = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED | WS_CAPTION, 0, 0, 100, 100, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(scratch, nullptr);
    HMENU kept = korva_state.run_menu;
    build_run_menu(scratch);
    HMENU fresh = korva_state.run_menu;
    korva_state.run_menu = kept;

    enum { PLAIN, CHECKED, GRAYED, SEPARATOR };
    struct Entry {
        int32_t id;
        const char* label;
        int state;
    };
    const Entry expected[] = {
        {1, "&Animate\tCtrl+A", PLAIN},
        {2, "&Halt animation\tCtrl+H", PLAIN},
        {3, "Advance one &frame\tCtrl+F", PLAIN},
        {0, "", SEPARATOR},
        {4, "&Logging\tCtrl+L", CHECKED},
        {0, "", SEPARATOR},
        {5, "&Record Script\tCtrl+R", PLAIN},
        {6, "&Playback Script\tCtrl+P", PLAIN},
        {7, "Play &One Script\tCtrl+O", PLAIN},
        {0, "", SEPARATOR},
        {11, "&Control Blazrack", GRAYED},
        {12, "&Control Mushi", GRAYED},
        {10, "&Control Besouru", GRAYED},
        {0, "", SEPARATOR},
        {14, "&Blazrack Enters", PLAIN},
        {15, "&Mushi Enters", PLAIN},
        {13, "&Besouru Enters", PLAIN},
        {0, "", SEPARATOR},
        {17, "&Blazrack Leaves", PLAIN},
        {18, "&Mushi Leaves", PLAIN},
        {16, "&Besouru Leaves", PLAIN},
        {0, "", SEPARATOR},
        {19, "&Enter From North", PLAIN},
        {21, "&Enter From East", PLAIN},
        {20, "&Enter From South", PLAIN},
        {22, "&Enter From West", PLAIN},
        {0, "", SEPARATOR},
        {8, "&Quit\tCtrl+Q", PLAIN},
    };
    ASSERT_EQ(GetMenuItemCount(fresh), 28);
    for (UINT pos = 0; pos < 28; ++pos) {
        const Entry& e = expected[pos];
        SCOPED_TRACE("position " + std::to_string(pos + 1));
        UINT state = GetMenuState(fresh, pos, MF_BYPOSITION);
        EXPECT_EQ((state & MF_SEPARATOR) != 0, e.state == SEPARATOR);
        EXPECT_EQ((state & MF_CHECKED) != 0, e.state == CHECKED);
        // The platform reports separators as grayed as well; only string items are compared.
        if (e.state != SEPARATOR) {
            EXPECT_EQ((state & MF_GRAYED) != 0, e.state == GRAYED);
        }
        EXPECT_EQ(static_cast<int32_t>(GetMenuItemID(fresh, static_cast<int>(pos))), e.id);
        char label[64] = {};
        GetMenuStringA(fresh, pos, label, sizeof label, MF_BYPOSITION);
        EXPECT_STREQ(label, e.label);
    }
    DestroyWindow(scratch);
}

TEST_F(GraphicsWindowTest, AnimationAndPlayOneCommandsSetTheirFlags) {
    struct Case {
        int32_t id;
        uint8_t animating_before, single_before;
        uint8_t animating_after, single_after, play_one_after;
    };
    const Case cases[] = {
        {CMD_ANIMATE, 0, 0, 1, 0, 0},
        {CMD_ANIMATE, 0, 1, 1, 1, 0},  // a pending single step stays
        {CMD_HALT, 1, 0, 0, 0, 0},
        {CMD_HALT, 1, 1, 0, 1, 0},     // halting leaves a pending single step
        {CMD_ADVANCE_FRAME, 1, 0, 0, 1, 0},
        {CMD_PLAY_ONE, 1, 1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("command " + std::to_string(c.id));
        korva_state.animating = c.animating_before;
        korva_state.single_step = c.single_before;
        korva_state.play_one = 0;
        Snapshot menu_before = snapshot();
        command(static_cast<WPARAM>(c.id));
        EXPECT_EQ(korva_state.animating, c.animating_after);
        EXPECT_EQ(korva_state.single_step, c.single_after);
        EXPECT_EQ(korva_state.play_one, c.play_one_after);
        EXPECT_EQ(snapshot().items, menu_before.items) << "no check mark changes";
    }
}

TEST_F(GraphicsWindowTest, LoggingCommandTogglesFlagAndCheckMarkOnly) {
    ShowWindow(korva_state.text_window, SW_HIDE);
    command(CMD_LOGGING);
    EXPECT_EQ(korva_state.logging, 0);
    EXPECT_FALSE(checked(CMD_LOGGING));
    command(CMD_LOGGING);
    EXPECT_EQ(korva_state.logging, 1);
    EXPECT_TRUE(checked(CMD_LOGGING));
    EXPECT_FALSE(IsWindowVisible(korva_state.text_window)) << "the console is neither shown nor hidden";
    ShowWindow(korva_state.text_window, SW_SHOW);
}

TEST_F(GraphicsWindowTest, EnterFromCommandsCheckOneItemAndSetTheDirection) {
    const int32_t items[] = {CMD_FROM_NORTH, CMD_FROM_SOUTH, CMD_FROM_EAST, CMD_FROM_WEST};
    struct Case {
        int32_t id;
        int32_t direction;
    };
    const Case cases[] = {
        {CMD_FROM_EAST, EAST}, {CMD_FROM_NORTH, NORTH}, {CMD_FROM_WEST, WEST}, {CMD_FROM_SOUTH, SOUTH}};
    for (const Case& c : cases) {
        SCOPED_TRACE("command " + std::to_string(c.id));
        command(static_cast<WPARAM>(c.id));
        EXPECT_EQ(korva_state.entry_direction, c.direction);
        for (int32_t item : items) EXPECT_EQ(checked(item), item == c.id) << "item " << item;
    }
}

struct HeroCommands {
    const char* name;
    int32_t control, enters, leaves;
    int32_t LibraryState::*flag;
    int32_t id;
};
const HeroCommands HERO_COMMANDS[] = {
    {"Besouru the Fighter", CMD_CONTROL_BESOURU, CMD_BESOURU_ENTERS, CMD_BESOURU_LEAVES,
     &LibraryState::control_besouru, HERO_BESOURU_ID},
    {"Blazrack the Wizard", CMD_CONTROL_BLAZRACK, CMD_BLAZRACK_ENTERS, CMD_BLAZRACK_LEAVES,
     &LibraryState::control_blazrack, HERO_BLAZRACK_ID},
    {"Mushi the Thief", CMD_CONTROL_MUSHI, CMD_MUSHI_ENTERS, CMD_MUSHI_LEAVES,
     &LibraryState::control_mushi, HERO_MUSHI_ID},
};

TEST_F(GraphicsWindowTest, EntersAndLeavesMakeTheirEventsAndSetTheControlItem) {
    for (const HeroCommands& h : HERO_COMMANDS) {
        SCOPED_TRACE(h.name);
        const HeroIdentity* hero = hero_by_id(h.id);
        // Leaves works also for a hero who never entered, and ends control.
        korva_state.*h.flag = 1;
        EnableMenuItem(korva_state.run_menu, static_cast<UINT>(h.control), MF_BYCOMMAND | MF_ENABLED);
        set_check(h.control, true);
        korva_state.event.region = NORTH;
        command(static_cast<WPARAM>(h.leaves));
        EXPECT_EQ(korva_state.event_kind, KORVA_LEAVE);
        EXPECT_STREQ(korva_state.event.hero.name, hero->name);
        EXPECT_STREQ(korva_state.event.hero.item, hero->item);
        EXPECT_EQ(korva_state.event.hero.id, h.id);
        EXPECT_EQ(korva_state.event.region, -1);
        EXPECT_EQ(korva_state.*h.flag, 0);
        EXPECT_TRUE(grayed(h.control));
        EXPECT_FALSE(checked(h.control));
        EXPECT_FALSE(grayed(h.leaves)) << "Leaves items are never grayed";

        // Enters enables the Control item and leaves its check mark as it was.
        set_check(h.control, true);
        korva_state.event_kind = KORVA_NONE;
        set_character(&korva_state.event.hero, HERO_NOBODY);
        command(static_cast<WPARAM>(h.enters));
        EXPECT_EQ(korva_state.event_kind, KORVA_ENTER);
        EXPECT_EQ(korva_state.event.hero.id, h.id);
        EXPECT_STREQ(korva_state.event.hero.name, hero->name);
        EXPECT_FALSE(grayed(h.control));
        EXPECT_TRUE(checked(h.control));
        EXPECT_EQ(korva_state.*h.flag, 0) << "entering does not take control";
        set_check(h.control, false);
    }
}

TEST_F(GraphicsWindowTest, ControlCommandsKeepAtMostOneHeroUnderControl) {
    korva_state.control_blazrack = 0;
    korva_state.control_mushi = 0;
    korva_state.control_besouru = 0;
    for (int32_t id : {CMD_CONTROL_BLAZRACK, CMD_CONTROL_MUSHI, CMD_CONTROL_BESOURU}) set_check(id, false);

    struct Step {
        int32_t command;
        int32_t blazrack, mushi, besouru;  // flags, and the check marks of items 11, 12, 10
        int32_t hero_id;
    };
    const Step steps[] = {
        {CMD_CONTROL_BLAZRACK, 1, 0, 0, HERO_BLAZRACK_ID},
        {CMD_CONTROL_BLAZRACK, 0, 0, 0, HERO_BLAZRACK_ID},  // released, still named in the event
        {CMD_CONTROL_BLAZRACK, 1, 0, 0, HERO_BLAZRACK_ID},
        {CMD_CONTROL_MUSHI, 0, 1, 0, HERO_MUSHI_ID},
        {CMD_CONTROL_BESOURU, 0, 0, 1, HERO_BESOURU_ID},
        {CMD_CONTROL_MUSHI, 0, 1, 0, HERO_MUSHI_ID},
        {CMD_CONTROL_MUSHI, 0, 0, 0, HERO_MUSHI_ID},
    };
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const Step& s = steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1) + ", command " + std::to_string(s.command));
        korva_state.event_kind = KORVA_NONE;
        command(static_cast<WPARAM>(s.command));
        EXPECT_EQ(korva_state.control_blazrack, s.blazrack);
        EXPECT_EQ(korva_state.control_mushi, s.mushi);
        EXPECT_EQ(korva_state.control_besouru, s.besouru);
        EXPECT_EQ(checked(CMD_CONTROL_BLAZRACK), s.blazrack != 0);
        EXPECT_EQ(checked(CMD_CONTROL_MUSHI), s.mushi != 0);
        EXPECT_EQ(checked(CMD_CONTROL_BESOURU), s.besouru != 0);
        EXPECT_EQ(korva_state.event.hero.id, s.hero_id);
        EXPECT_EQ(korva_state.event_kind, KORVA_NONE) << "a control command makes no event";
    }

    // Any non-zero flag counts as set: the command releases it.
    korva_state.control_besouru = 7;
    command(CMD_CONTROL_BESOURU);
    EXPECT_EQ(korva_state.control_besouru, 0);
}

TEST_F(GraphicsWindowTest, CommandIdsWithoutAnItemChangeNothing) {
    const WPARAM ids[] = {0, 9, 23, 1000, 0x10001, WPARAM(1) << 32 | 1, ~WPARAM(0)};
    for (WPARAM id : ids) {
        SCOPED_TRACE("id " + std::to_string(id));
        Snapshot before = snapshot();
        EXPECT_EQ(SendMessageA(graphics(), WM_COMMAND, id, 0), 0);
        EXPECT_TRUE(same(before, snapshot()));
        EXPECT_FALSE(take_quit());
    }
}

TEST_F(GraphicsWindowTest, QuitCommandPostsQuitAndKeepsTheWindow) {
    command(CMD_QUIT);
    EXPECT_TRUE(take_quit());
    EXPECT_TRUE(IsWindow(graphics()));
}

TEST_F(GraphicsWindowTest, CtrlShortcutsRunTheirCommands) {
    struct Case {
        WPARAM key;
        void (*prepare)();
        void (*check)();
    };
    const Case cases[] = {
        {'A', [] { korva_state.animating = 0; }, [] { EXPECT_EQ(korva_state.animating, 1); }},
        {'H', [] { korva_state.animating = 1; }, [] { EXPECT_EQ(korva_state.animating, 0); }},
        {'F', [] { korva_state.animating = 1; },
         [] {
             EXPECT_EQ(korva_state.animating, 0);
             EXPECT_EQ(korva_state.single_step, 1);
         }},
        {'L', [] {},
         [] {
             EXPECT_EQ(korva_state.logging, 0);
             EXPECT_FALSE(checked(CMD_LOGGING));
         }},
        {'R', [] {},
         [] {
             EXPECT_EQ(korva_state.recording, 1);
             EXPECT_TRUE(checked(CMD_RECORD));
         }},
        {'P', [] { korva_state.animating = 1; },
         [] {
             EXPECT_EQ(korva_state.playing_back, 1);
             EXPECT_TRUE(checked(CMD_PLAYBACK));
             EXPECT_EQ(korva_state.animating, 0);
         }},
        {'O', [] { korva_state.single_step = 1; },
         [] {
             EXPECT_EQ(korva_state.play_one, 1);
             EXPECT_EQ(korva_state.single_step, 0);
         }},
        {'Q', [] {}, [] { EXPECT_TRUE(take_quit()); }},
    };
    for (const Case& c : cases) {
        for (bool shift : {false, true}) {
            SCOPED_TRACE(std::string("Ctrl+") + (shift ? "Shift+" : "") + static_cast<char>(c.key));
            SetUp();
            c.prepare();
            key_down(VK_CONTROL);
            if (shift) key_down(VK_SHIFT);
            key_down(c.key);
            c.check();
            if (shift) key_up(VK_SHIFT);
            key_up(VK_CONTROL);
        }
    }
    SetUp();
}

TEST_F(GraphicsWindowTest, LettersWithoutCtrlDoNothing) {
    key_down(VK_CONTROL);
    EXPECT_EQ(korva_state.control_key_down, 1);
    key_up(VK_CONTROL);
    EXPECT_EQ(korva_state.control_key_down, 0);
    key_down(VK_SHIFT);  // Shift alone is no Ctrl
    for (WPARAM key : {'A', 'H', 'F', 'L', 'R', 'P', 'O', 'Q'}) {
        SCOPED_TRACE(std::string("key ") + static_cast<char>(key));
        Snapshot before = snapshot();
        key_down(key);
        key_up(key);
        EXPECT_TRUE(same(before, snapshot()));
        EXPECT_FALSE(take_quit());
    }
    key_up(VK_SHIFT);
}

TEST_F(GraphicsWindowTest, OtherKeysWithCtrlDoNothing) {
    key_down(VK_CONTROL);
    for (WPARAM key : {WPARAM('B'), WPARAM('Z'), WPARAM(0x61), WPARAM(VK_F10), WPARAM(VK_RETURN)}) {
        SCOPED_TRACE("key " + std::to_string(key));
        Snapshot before = snapshot();
        EXPECT_EQ(SendMessageA(graphics(), WM_KEYDOWN, key, 0), 0);
        EXPECT_TRUE(same(before, snapshot()));
    }
    key_up(VK_CONTROL);
}

TEST_F(GraphicsWindowTest, LeftClickMakesAMouseEventInCentredCoordinates) {
    RECT client;
    GetClientRect(graphics(), &client);
    const int32_t ox = client.right / 2;
    const int32_t oy = client.bottom / 2;
    ASSERT_EQ(korva_state.origin_x, ox);
    ASSERT_EQ(korva_state.origin_y, oy);

    struct Case {
        int32_t px, py;
        int32_t x, y;
    };
    const Case cases[] = {
        {ox, oy, 0, 0},
        {0, 0, -ox, oy},
        {ox + 10, oy + 20, 10, -20},
        {0xFFFF, 0xFFFF, 0xFFFF - ox, oy - 0xFFFF},  // both halves taken as unsigned
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("at " + std::to_string(c.px) + "," + std::to_string(c.py));
        korva_state.event_kind = KORVA_NONE;
        korva_state.event.key = 'q';
        korva_state.event.region = WEST;
        set_character(&korva_state.event.hero, HEROES[2]);
        SendMessageA(graphics(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(c.px, c.py));
        EXPECT_EQ(korva_state.event_kind, KORVA_MOUSE);
        EXPECT_EQ(korva_state.event.x, c.x);
        EXPECT_EQ(korva_state.event.y, c.y);
        EXPECT_EQ(korva_state.event.key, 'q');
        EXPECT_EQ(korva_state.event.region, WEST);
        EXPECT_EQ(korva_state.event.hero.id, HERO_MUSHI_ID);
    }
}

TEST_F(GraphicsWindowTest, OnlyTheLeftPressMakesAnEvent) {
    const UINT messages[] = {WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, WM_CHAR};
    for (UINT message : messages) {
        SCOPED_TRACE("message " + std::to_string(message));
        SendMessageA(graphics(), message, 'A', MAKELPARAM(10, 10));
        EXPECT_EQ(korva_state.event_kind, KORVA_NONE);
    }
}

TEST_F(GraphicsWindowTest, AnyTimerSetsTheTickFlag) {
    for (WPARAM id : {WPARAM(TICK_TIMER_ID), WPARAM(0), WPARAM(77)}) {
        korva_state.timer_ticked = 0;
        EXPECT_EQ(SendMessageA(graphics(), WM_TIMER, id, 0), 0);
        EXPECT_EQ(korva_state.timer_ticked, 1) << "timer id " << id;
    }
}

TEST_F(GraphicsWindowTest, OriginComesFromTheClientAreaNotTheMessage) {
    korva_state.origin_x = 1;
    korva_state.origin_y = 2;
    SendMessageA(graphics(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(1000, 900));
    RECT client;
    GetClientRect(graphics(), &client);
    EXPECT_EQ(korva_state.origin_x, client.right / 2);
    EXPECT_EQ(korva_state.origin_y, client.bottom / 2);
}

TEST_F(GraphicsWindowTest, RepaintCopiesTheWholeCanvasAndClearsDirty) {
    const COLORREF colour = RGB(30, 160, 70);
    RECT all = {0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(korva_state.canvas_dc, &all, brush);
    DeleteObject(brush);
    korva_state.canvas_dirty = 1;

    // Only a small region is invalid, yet the whole canvas reaches the window.
    RECT corner = {0, 0, 4, 4};
    InvalidateRect(graphics(), &corner, FALSE);
    UpdateWindow(graphics());
    EXPECT_EQ(korva_state.canvas_dirty, 0);
    RECT client;
    GetClientRect(graphics(), &client);
    EXPECT_EQ(GetPixel(korva_state.window_dc, client.right / 2, client.bottom / 2), colour);
    EXPECT_EQ(GetPixel(korva_state.window_dc, client.right - 1, client.bottom - 1), colour);
}

// The visible area is the client area, in drawing coordinates: its corners' pixels are the
// window's corner pixels, and one past them is outside.
TEST_F(GraphicsWindowTest, TheVisibleAreaIsTheClientAreaInDrawingCoordinates) {
    RECT client;
    GetClientRect(graphics(), &client);
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(1, KORVA_visible_area(&left, &top, &right, &bottom));
    EXPECT_EQ(client.right, right - left + 1) << "visible width";
    EXPECT_EQ(client.bottom, top - bottom + 1) << "visible height";
    EXPECT_EQ(-korva_state.origin_x, left);
    EXPECT_EQ(korva_state.origin_y, top);
    // Drawn at the corners, the pixels land on the window's first and last columns and rows.
    KORVA_logging(0);
    KORVA_clear();
    KORVA_draw_pixel(KORVA_RED, left, top);
    KORVA_draw_pixel(KORVA_RED, right, bottom);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(korva_state.canvas_dc, 0, 0));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(korva_state.canvas_dc, client.right - 1, client.bottom - 1));
    EXPECT_EQ(1, KORVA_visible_area(nullptr, nullptr, nullptr, nullptr)) << "null places are skipped";
}

}  // namespace
