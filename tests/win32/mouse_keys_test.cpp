// The whole mouse and held keys through real messages and the real wait: each button message
// to its event and button, drags with the buttons held and the mouse kept outside the window,
// moves never replacing a press, key presses without their repeats and the held state that the
// returned events build, Ctrl shortcuts unchanged, silence while switched off, and the new
// events recorded as their own lines and played back as the same events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

struct Seen {
    int32_t kind;
    int32_t x;
    int32_t y;
    int32_t key;
};

Seen next() {
    Seen e{};
    char key = 0;
    int32_t region;
    CharacterRecord hero;
    e.kind = KORVA_wait_event(&e.x, &e.y, &key, &region, &hero);
    e.key = key;
    return e;
}

std::string show(const Seen& e) {
    return "kind " + std::to_string(e.kind) + " at (" + std::to_string(e.x) + "," + std::to_string(e.y) + ") key " +
           std::to_string(e.key);
}

// A client position of drawing point (x, y), as a mouse message carries it (signed 16 bits).
LPARAM at(int32_t x, int32_t y) {
    int32_t px = korva_state.origin_x + x, py = korva_state.origin_y - y;
    return static_cast<LPARAM>((static_cast<uint32_t>(py & 0xFFFF) << 16) | static_cast<uint32_t>(px & 0xFFFF));
}

// The script file as text, its line ends as the recorder's text mode wrote them made plain.
std::string script_text() {
    std::string text = read_file("KORVA.SCR"), plain;
    for (char c : text)
        if (c != '\r') plain.push_back(c);
    return plain;
}

LPARAM key_info(UINT virtual_key, bool repeat) {
    LPARAM info = (static_cast<LPARAM>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC)) << 16) | 1;
    return repeat ? info | (LPARAM{1} << 30) : info;
}

class MouseKeysTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { open_korva_without_ticks(); }
    void SetUp() override { reset_wait_state(); }
    void TearDown() override {
        drain_messages();
        close_script();
        KORVA_mouse(0);
        KORVA_held_keys(0);
        korva_state.control_key_down = 0;
        remove("KORVA.SCR");
    }
};

TEST_F(MouseKeysTest, SwitchedOffTheNewMessagesMakeNoEvent) {
    post(WM_RBUTTONDOWN, MK_RBUTTON, at(5, 5));
    post(WM_RBUTTONUP, 0, at(5, 5));
    post(WM_MOUSEMOVE, MK_LBUTTON, at(9, 9));
    post(WM_KEYDOWN, 'A', key_info('A', false));
    post(WM_KEYUP, 'A', key_info('A', false));
    post_click(1, 2);
    Seen e = next();
    EXPECT_EQ(KORVA_MOUSE, e.kind) << show(e);
    EXPECT_EQ(0, KORVA_key_held('A'));
}

TEST_F(MouseKeysTest, EachButtonMessageMakesItsEvent) {
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    struct Case {
        const char* what;
        UINT message;
        WPARAM buttons;
        int32_t x, y;
        Seen expected;
    };
    const Case cases[] = {
        {"left press: the click it always was", WM_LBUTTONDOWN, MK_LBUTTON, 10, 20, {KORVA_MOUSE, 10, 20, 0}},
        {"drag with the left button", WM_MOUSEMOVE, MK_LBUTTON, 30, 25, {KORVA_MOTION, 30, 25, KORVA_BUTTON_LEFT}},
        {"drag out of the window", WM_MOUSEMOVE, MK_LBUTTON, -400, 300,
         {KORVA_MOTION, -400, 300, KORVA_BUTTON_LEFT}},
        {"left release outside", WM_LBUTTONUP, 0, -400, 300, {KORVA_BUTTON_UP, -400, 300, KORVA_BUTTON_LEFT}},
        {"right press", WM_RBUTTONDOWN, MK_RBUTTON, -7, -8, {KORVA_BUTTON_DOWN, -7, -8, KORVA_BUTTON_RIGHT}},
        {"drag with the right button", WM_MOUSEMOVE, MK_RBUTTON, -6, -8, {KORVA_MOTION, -6, -8, KORVA_BUTTON_RIGHT}},
        {"right release", WM_RBUTTONUP, 0, -6, -8, {KORVA_BUTTON_UP, -6, -8, KORVA_BUTTON_RIGHT}},
        {"middle press", WM_MBUTTONDOWN, MK_MBUTTON, 0, 0, {KORVA_BUTTON_DOWN, 0, 0, KORVA_BUTTON_MIDDLE}},
        {"middle release", WM_MBUTTONUP, 0, 0, 0, {KORVA_BUTTON_UP, 0, 0, KORVA_BUTTON_MIDDLE}},
    };
    for (const Case& c : cases) {
        post(c.message, c.buttons, at(c.x, c.y));
        Seen e = next();
        EXPECT_EQ(c.expected.kind, e.kind) << c.what << ": " << show(e);
        EXPECT_EQ(c.expected.x, e.x) << c.what;
        EXPECT_EQ(c.expected.y, e.y) << c.what;
        EXPECT_EQ(c.expected.key, e.key) << c.what;
    }
}

TEST_F(MouseKeysTest, APressKeepsTheMouseUntilTheLastButtonIsReleased) {
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    post(WM_RBUTTONDOWN, MK_RBUTTON, at(0, 0));
    next();
    EXPECT_EQ(korva_state.graphics_window, GetCapture()) << "a drag that leaves the window must still be heard";
    post(WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON, at(0, 0));
    post(WM_RBUTTONUP, MK_MBUTTON, at(0, 0));
    next();
    next();
    EXPECT_EQ(korva_state.graphics_window, GetCapture()) << "the middle button is still down";
    post(WM_MBUTTONUP, 0, at(0, 0));
    next();
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(MouseKeysTest, MovesWithoutAButtonOnlyWhenAskedAndNeverInPlaceOfAPress) {
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    post(WM_MOUSEMOVE, 0, at(3, 3));
    post(WM_RBUTTONDOWN, MK_RBUTTON, at(4, 4));
    Seen e = next();
    EXPECT_EQ(KORVA_BUTTON_DOWN, e.kind) << "a move with no button held is no event here: " << show(e);
    post(WM_RBUTTONUP, 0, at(4, 4));
    next();

    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_ALL_MOTION));
    EXPECT_EQ(1, korva_state.mouse.buttons) << "all motion includes the buttons";
    post(WM_MOUSEMOVE, 0, at(12, -3));
    post(WM_MOUSEMOVE, 0, at(12, -3));  // the system's repeat of the same place
    post(WM_RBUTTONDOWN, MK_RBUTTON, at(12, -3));
    e = next();
    EXPECT_EQ(KORVA_MOTION, e.kind) << show(e);
    EXPECT_EQ(0, e.key) << "no button held";
    e = next();
    EXPECT_EQ(KORVA_BUTTON_DOWN, e.kind) << "a move to the same place is none, and a press is never replaced: "
                                         << show(e);
    post(WM_RBUTTONUP, 0, at(12, -3));
    next();
}

TEST_F(MouseKeysTest, ABadMouseModeIsCorrectedWithAConsoleLine) {
    clear_console();
    EXPECT_EQ(1, KORVA_mouse(7));
    EXPECT_EQ(std::vector<std::string>{"Mouse mode 7 not possible, using mouse mode 3\n"}, console_lines());
    EXPECT_EQ(1, korva_state.mouse.all_motion);
    clear_console();
}

TEST_F(MouseKeysTest, HeldKeysComeDownOnceAndUpAndAreHeldInBetween) {
    ASSERT_EQ(1, KORVA_held_keys(1));
    struct Case {
        const char* what;
        UINT message;
        UINT virtual_key;
        bool repeat;
        int32_t kind;
        char key;
        int held_a, held_right;
    };
    const Case cases[] = {
        {"A down", WM_KEYDOWN, 'A', false, KORVA_KEY_PRESS, 'A', 1, 0},
        {"Right down", WM_KEYDOWN, VK_RIGHT, false, KORVA_KEY_PRESS, KORVA_KEY_RIGHT, 1, 1},
        {"A up", WM_KEYUP, 'A', false, KORVA_KEY_RELEASE, 'A', 0, 1},
        {"Right up", WM_KEYUP, VK_RIGHT, false, KORVA_KEY_RELEASE, KORVA_KEY_RIGHT, 0, 0},
        {"Shift down", WM_KEYDOWN, VK_SHIFT, false, KORVA_KEY_PRESS, KORVA_KEY_SHIFT, 0, 0},
        {"Shift up", WM_KEYUP, VK_SHIFT, false, KORVA_KEY_RELEASE, KORVA_KEY_SHIFT, 0, 0},
        {"Space down", WM_KEYDOWN, VK_SPACE, false, KORVA_KEY_PRESS, KORVA_KEY_SPACE, 0, 0},
        {"Space up", WM_KEYUP, VK_SPACE, false, KORVA_KEY_RELEASE, KORVA_KEY_SPACE, 0, 0},
    };
    for (const Case& c : cases) {
        // Repeats of a key already down come first and must make nothing, whether marked as
        // repeats or sent as fresh key-downs (as after the keyboard comes back).
        if (c.message == WM_KEYDOWN) post(WM_KEYDOWN, c.virtual_key, key_info(c.virtual_key, false));
        if (c.message == WM_KEYDOWN) post(WM_KEYDOWN, c.virtual_key, key_info(c.virtual_key, true));
        if (c.message == WM_KEYDOWN) post(WM_KEYDOWN, c.virtual_key, key_info(c.virtual_key, false));
        if (c.message == WM_KEYUP) post(WM_KEYUP, c.virtual_key, key_info(c.virtual_key, false) | (LPARAM{3} << 30));
        Seen e = next();
        EXPECT_EQ(c.kind, e.kind) << c.what << ": " << show(e);
        EXPECT_EQ(c.key, e.key) << c.what;
        EXPECT_EQ(c.held_a, KORVA_key_held('a')) << c.what;
        EXPECT_EQ(c.held_right, KORVA_key_held(KORVA_KEY_RIGHT)) << c.what;
    }
    post_click(0, 0);
    EXPECT_EQ(KORVA_MOUSE, next().kind) << "a repeat made an event";
}

TEST_F(MouseKeysTest, CtrlShortcutsStayShortcuts) {
    ASSERT_EQ(1, KORVA_held_keys(1));
    const uint8_t logging = korva_state.logging;
    post(WM_KEYDOWN, VK_CONTROL, key_info(VK_CONTROL, false));
    Seen e = next();
    EXPECT_EQ(KORVA_KEY_PRESS, e.kind);
    EXPECT_EQ(KORVA_KEY_CONTROL, e.key);
    post(WM_KEYDOWN, 'L', key_info('L', false));
    post(WM_KEYUP, 'L', key_info('L', false) | (LPARAM{3} << 30));
    post(WM_KEYUP, VK_CONTROL, key_info(VK_CONTROL, false) | (LPARAM{3} << 30));
    e = next();
    EXPECT_NE(logging, korva_state.logging) << "Ctrl+L must still toggle logging";
    // The L's release makes its event (a key up never runs a shortcut); its press made none.
    EXPECT_EQ(KORVA_KEY_RELEASE, e.kind) << show(e);
    EXPECT_EQ('L', e.key);
    e = next();
    EXPECT_EQ(KORVA_KEY_RELEASE, e.kind);
    EXPECT_EQ(KORVA_KEY_CONTROL, e.key);
    KORVA_logging(logging);
}

// A press handled in the same dispatch as a later move: the move must leave the press in place.
// (Each posted message ends a wait by itself, so only a message that sends both can show it.)
LRESULT CALLBACK press_then_move(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP) {
        SendMessageA(graphics(), WM_RBUTTONDOWN, MK_RBUTTON, at(4, 4));
        SendMessageA(graphics(), WM_MOUSEMOVE, MK_RBUTTON, at(9, 9));
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND make_plain_window(WNDPROC procedure, const char* class_name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = class_name;
    RegisterClassA(&wc);
    return CreateWindowExA(0, class_name, class_name, WS_OVERLAPPEDWINDOW, 700, 0, 200, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST_F(MouseKeysTest, APressIsNeverReplacedByAMoveInTheSameDispatch) {
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    HWND sender = make_plain_window(press_then_move, "korva_press_then_move");
    ASSERT_NE(nullptr, sender);
    PostMessageA(sender, WM_APP, 0, 0);
    Seen e = next();
    EXPECT_EQ(KORVA_BUTTON_DOWN, e.kind) << show(e);
    EXPECT_EQ(4, e.x);
    DestroyWindow(sender);
    post(WM_RBUTTONUP, 0, at(9, 9));
    next();
}

// A move that comes while a periodic event waits for its tick takes its place, as a click does.
TEST_F(MouseKeysTest, AMoveWhileAPeriodicEventWaitsForItsTickIsNotLost) {
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    korva_state.animating = 1;
    post_fillers(101);
    post(WM_MOUSEMOVE, MK_RBUTTON, at(21, -4));
    post(WM_TIMER, TICK_TIMER_ID);
    Seen e = next();
    korva_state.animating = 0;
    EXPECT_EQ(KORVA_MOTION, e.kind) << show(e);
    EXPECT_EQ(21, e.x);
    EXPECT_EQ(-4, e.y);
    take_leftovers();
}

// While the right button holds the mouse, a left press outside the window reaches it with a
// negative position, read as the other button messages are.
TEST_F(MouseKeysTest, ALeftPressOutsideTheWindowDuringACaptureIsReadSigned) {
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    post(WM_RBUTTONDOWN, MK_RBUTTON, at(0, 0));
    next();
    post(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, at(-400, 300));
    Seen e = next();
    EXPECT_EQ(KORVA_MOUSE, e.kind) << show(e);
    EXPECT_EQ(-400, e.x);
    EXPECT_EQ(300, e.y);
    post(WM_LBUTTONUP, MK_RBUTTON, at(-400, 300));
    post(WM_RBUTTONUP, 0, at(-400, 300));
    next();
    next();
}

// With typed keys on as well, a held arrow's repeats make nothing: the arrow is the program's as
// presses and releases only. A letter still types its character, repeats included.
TEST_F(MouseKeysTest, RepeatsOfAHeldArrowMakeNoTypedKeyEvents) {
    ASSERT_EQ(1, KORVA_held_keys(1));
    ASSERT_EQ(1, KORVA_keyboard(1));
    post(WM_KEYDOWN, VK_LEFT, key_info(VK_LEFT, false));
    for (int i = 0; i < 5; ++i) post(WM_KEYDOWN, VK_LEFT, key_info(VK_LEFT, true));
    post(WM_KEYDOWN, VK_DELETE, key_info(VK_DELETE, false));
    for (int i = 0; i < 5; ++i) post(WM_KEYDOWN, VK_DELETE, key_info(VK_DELETE, true));
    post(WM_KEYUP, VK_DELETE, key_info(VK_DELETE, false) | (LPARAM{3} << 30));
    post(WM_KEYUP, VK_LEFT, key_info(VK_LEFT, false) | (LPARAM{3} << 30));
    post(WM_CHAR, 'q', key_info('Q', false));
    post(WM_CHAR, 'q', key_info('Q', true));
    post_click(0, 0);
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {KORVA_KEY_PRESS, KORVA_KEY_LEFT},    {KORVA_KEY_PRESS, KORVA_KEY_DELETE}, {KORVA_KEY_RELEASE, KORVA_KEY_DELETE},
        {KORVA_KEY_RELEASE, KORVA_KEY_LEFT},  {KORVA_KBD, 'q'},                    {KORVA_KBD, 'q'},
        {KORVA_MOUSE, 0}};
    for (const auto& [kind, key] : expected) {
        Seen e = next();
        EXPECT_EQ(kind, e.kind) << show(e);
        EXPECT_EQ(key, e.key) << show(e);
    }
    KORVA_keyboard(0);
}

// Keys held when the window loses the keyboard (another window, a menu or move loop) are
// released for the program, one event each, and recorded as any release is.
TEST_F(MouseKeysTest, KeysHeldWhenTheKeyboardGoesAreReleasedAndRecorded) {
    ASSERT_EQ(1, KORVA_held_keys(1));
    SetFocus(graphics());
    command(CMD_RECORD);
    post(WM_KEYDOWN, 'A', key_info('A', false));
    post(WM_SYSKEYDOWN, VK_RIGHT, key_info(VK_RIGHT, false) | (LPARAM{1} << 29));
    EXPECT_EQ(KORVA_KEY_PRESS, next().kind);
    Seen e = next();
    ASSERT_EQ(KORVA_KEY_PRESS, e.kind) << "a key pressed with Alt held: " << show(e);
    EXPECT_EQ(KORVA_KEY_RIGHT, e.key);

    HWND other = make_plain_window(DefWindowProcA, "korva_other_window");
    ShowWindow(other, SW_SHOW);
    SetFocus(other);
    ASSERT_EQ(other, GetFocus());
    post_click(0, 0);  // ends a wait that would otherwise wait for ever, when nothing is owed
    e = next();
    ASSERT_EQ(KORVA_KEY_RELEASE, e.kind) << show(e);
    EXPECT_EQ(KORVA_KEY_RIGHT, e.key);
    e = next();
    ASSERT_EQ(KORVA_KEY_RELEASE, e.kind) << show(e);
    EXPECT_EQ('A', e.key);
    EXPECT_EQ(0, KORVA_key_held('A'));
    EXPECT_EQ(0, KORVA_key_held(KORVA_KEY_RIGHT));
    EXPECT_EQ(KORVA_MOUSE, next().kind) << "the click comes after the owed releases";
    SetFocus(graphics());
    DestroyWindow(other);

    // A menu loop holds the keyboard as well; Alt held when a key comes up sends it as a system key.
    post(WM_KEYDOWN, VK_UP, key_info(VK_UP, false));
    EXPECT_EQ(KORVA_KEY_PRESS, next().kind);
    SendMessageA(graphics(), WM_ENTERMENULOOP, FALSE, 0);
    post_click(0, 0);
    e = next();
    ASSERT_EQ(KORVA_KEY_RELEASE, e.kind) << show(e);
    EXPECT_EQ(KORVA_KEY_UP, e.key);
    EXPECT_EQ(KORVA_MOUSE, next().kind);
    SendMessageA(graphics(), WM_EXITMENULOOP, FALSE, 0);
    post(WM_KEYDOWN, 'B', key_info('B', false));
    post(WM_SYSKEYUP, 'B', key_info('B', false) | (LPARAM{1} << 29) | (LPARAM{3} << 30));
    post_click(0, 0);
    ASSERT_EQ(KORVA_KEY_PRESS, next().kind);
    e = next();
    ASSERT_EQ(KORVA_KEY_RELEASE, e.kind) << "a key released with Alt held: " << show(e);
    EXPECT_EQ('B', e.key);
    next();
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_HOLD(65, 1);\nKORVA_HOLD(29, 1);\nKORVA_HOLD(29, 0);\nKORVA_HOLD(65, 0);\nKORVA_MOUSE(0, 0);\n"
              "KORVA_HOLD(30, 1);\nKORVA_HOLD(30, 0);\nKORVA_MOUSE(0, 0);\nKORVA_HOLD(66, 1);\nKORVA_HOLD(66, 0);\n"
              "KORVA_MOUSE(0, 0);\n",
              script_text());
}

TEST_F(MouseKeysTest, SwitchingHeldKeysOffForgetsWhatWasHeld) {
    ASSERT_EQ(1, KORVA_held_keys(1));
    post(WM_KEYDOWN, 'H', key_info('H', false));
    next();
    EXPECT_EQ(1, KORVA_key_held('H'));
    EXPECT_EQ(0, KORVA_key_held(static_cast<char>(200))) << "200 is no key, and not 'H' either";
    ASSERT_EQ(1, KORVA_held_keys(0));
    EXPECT_EQ(0, KORVA_key_held('H'));
    ASSERT_EQ(1, KORVA_held_keys(1));
    EXPECT_EQ(0, KORVA_key_held('H')) << "switched on again, nothing is held until pressed";
}

// A line whose key or button no event can carry ends playback as any unreadable line does.
TEST_F(MouseKeysTest, AScriptLineWithAKeyNoEventCarriesEndsPlayback) {
    ASSERT_EQ(1, KORVA_held_keys(1));
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    for (const char* line : {"KORVA_HOLD(200, 1);\r\n", "KORVA_BUTTON(1, 2, 7, 1);\r\n", "KORVA_TRACK(1, 2, -1);\r\n"}) {
        write_file("KORVA.SCR", line);
        korva_state.playing_back = 1;
        post(FILLER);
        post_click(1, 1);
        Seen e = next();
        EXPECT_EQ(KORVA_MOUSE, e.kind) << line << show(e);
        EXPECT_EQ(0, korva_state.playing_back) << line;
        EXPECT_EQ(0, KORVA_key_held('H')) << line;
        take_leftovers();
        close_script();
    }
}

// Recorded as lines of their own and played back as the same events; a program that has not
// switched them on takes such a line for the end of the script.
TEST_F(MouseKeysTest, NewEventsAreRecordedAndPlayedBack) {
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    ASSERT_EQ(1, KORVA_held_keys(1));
    command(CMD_RECORD);
    post(WM_RBUTTONDOWN, MK_RBUTTON, at(-20, 30));
    post(WM_MOUSEMOVE, MK_RBUTTON, at(-21, 33));
    post(WM_RBUTTONUP, 0, at(-21, 33));
    post(WM_KEYDOWN, VK_UP, key_info(VK_UP, false));
    post(WM_KEYUP, VK_UP, key_info(VK_UP, false) | (LPARAM{3} << 30));
    post_click(8, 9);
    post(WM_LBUTTONUP, 0, at(8, 9));
    std::vector<Seen> recorded;
    for (int i = 0; i < 7; ++i) recorded.push_back(next());
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_BUTTON(-20, 30, 2, 1);\nKORVA_TRACK(-21, 33, 2);\nKORVA_BUTTON(-21, 33, 2, 0);\n"
              "KORVA_HOLD(30, 1);\nKORVA_HOLD(30, 0);\nKORVA_MOUSE(8, 9);\nKORVA_BUTTON(8, 9, 1, 0);\n",
              script_text());

    korva_state.playing_back = 1;
    for (size_t i = 0; i < recorded.size(); ++i) {
        post(FILLER);
        Seen e = next();
        EXPECT_EQ(recorded[i].kind, e.kind) << "event " << i << ": " << show(e);
        EXPECT_EQ(recorded[i].x, e.x) << "event " << i;
        EXPECT_EQ(recorded[i].y, e.y) << "event " << i;
        EXPECT_EQ(recorded[i].key, e.key) << "event " << i;
    }
    EXPECT_EQ(0, KORVA_key_held(KORVA_KEY_UP));
    take_leftovers();
    close_script();

    KORVA_mouse(0);
    korva_state.playing_back = 1;
    post(FILLER);
    post_click(1, 1);
    Seen e = next();
    EXPECT_EQ(KORVA_MOUSE, e.kind) << "a button line played to a program without the mouse: " << show(e);
    EXPECT_EQ(1, e.x) << "playback must have ended at the button line";
    EXPECT_EQ(0, korva_state.playing_back);
}

// A wheel message carries a screen position: that of drawing point (x, y).
LPARAM on_screen(int32_t x, int32_t y) {
    POINT p{korva_state.origin_x + x, korva_state.origin_y - y};
    ClientToScreen(korva_state.graphics_window, &p);
    return MAKELPARAM(p.x, p.y);
}

TEST_F(MouseKeysTest, TheWheelMakesEventsOfWholeNotchesWhileTheMouseIsOn) {
    // Every wait below has a click queued behind what it looks at, so a missing event shows as
    // that click rather than as a wait that never ends.
    auto wait_with_sentinel = []() {
        post_click(99, 99);
        Seen seen = next();
        take_leftovers();
        return seen;
    };
    // Switched off: the wheel is the platform's, and the click after it is the event.
    post(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), on_screen(4, 4));
    Seen e = wait_with_sentinel();
    EXPECT_EQ(KORVA_MOUSE, e.kind) << show(e);

    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    command(CMD_RECORD);
    post(WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), on_screen(15, -25));
    e = wait_with_sentinel();
    EXPECT_EQ(KORVA_WHEEL, e.kind) << show(e);
    EXPECT_EQ(15, e.x);
    EXPECT_EQ(-25, e.y);
    EXPECT_EQ(2, e.key) << "two notches away from the user";
    // Parts of a notch add up: the first half makes nothing, the second half one notch toward.
    post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), on_screen(0, 0));
    post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), on_screen(-3, 7));
    e = wait_with_sentinel();
    EXPECT_EQ(KORVA_WHEEL, e.kind) << show(e);
    EXPECT_EQ(-1, e.key);
    EXPECT_EQ(-3, e.x);
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_WHEEL(15, -25, 2);\nKORVA_WHEEL(-3, 7, -1);\n", script_text());

    // Played back as the same events; to a program without the mouse the line ends playback.
    korva_state.playing_back = 1;
    post(FILLER);
    e = wait_with_sentinel();
    EXPECT_EQ(KORVA_WHEEL, e.kind) << show(e);
    EXPECT_EQ(15, e.x);
    EXPECT_EQ(2, e.key);
    KORVA_mouse(0);
    post(FILLER);
    e = wait_with_sentinel();
    EXPECT_EQ(KORVA_MOUSE, e.kind) << "a wheel line played to a program without the mouse: " << show(e);
    EXPECT_EQ(0, korva_state.playing_back);
}

}  // namespace

namespace {

TEST_F(MouseKeysTest, AWheelTurnBeyondOneLinesNotchesComesAsMoreEvents) {
    // 273 notches (the most one message carries) and as many back: each turn is 127 notches at a
    // time, recorded line by line, with nothing of it lost.
    ASSERT_EQ(1, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    command(CMD_RECORD);
    const struct {
        int32_t notches;
        int32_t events[3];
    } turns[] = {{273, {127, 127, 19}}, {-200, {-127, -73, 0}}};
    for (const auto& turn : turns) {
        post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(turn.notches * WHEEL_DELTA)), on_screen(6, 8));
        for (int32_t expected : turn.events) {
            if (expected == 0) break;
            Seen e = next();
            EXPECT_EQ(KORVA_WHEEL, e.kind) << show(e);
            EXPECT_EQ(expected, e.key) << turn.notches << " notches";
            EXPECT_EQ(6, e.x);
            EXPECT_EQ(8, e.y);
        }
    }
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_WHEEL(6, 8, 127);\nKORVA_WHEEL(6, 8, 127);\nKORVA_WHEEL(6, 8, 19);\n"
              "KORVA_WHEEL(6, 8, -127);\nKORVA_WHEEL(6, 8, -73);\n",
              script_text());
}

}  // namespace
