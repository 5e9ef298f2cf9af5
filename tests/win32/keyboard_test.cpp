// Keyboard events through real messages and the real wait: each key or typed character to its
// code, one event per press, Ctrl+letter staying a shortcut, keys typed in the console, silence
// while switched off, and a recorded key playing back as the same event.
#include <gtest/gtest.h>

#include <string>

#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

// What the keyboard itself would post: the key-down and key-up with the key's scan code.
// The wait's own translation makes the character message.
void post_press(HWND window, UINT virtual_key) {
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(window, WM_KEYDOWN, virtual_key, scan | 1);
    PostMessageA(window, WM_KEYUP, virtual_key, scan | 1 | static_cast<LPARAM>(0xC0000000u));
}

int32_t wait_for(char* key) {
    int32_t x, y, region;
    CharacterRecord hero;
    return KORVA_wait_event(&x, &y, key, &region, &hero);
}

// After the event of one press, only a click is left to make one: nothing was seen twice.
void expect_nothing_more(const char* what) {
    post_click(0, 0);
    char key = 0;
    EXPECT_EQ(wait_for(&key), KORVA_MOUSE) << what << ": a second event came from one press, key " << int(key);
}

class KeyboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        open_korva_without_ticks();
    }

    void SetUp() override {
        reset_wait_state();
        ASSERT_EQ(KORVA_keyboard(1), 1);
    }

    void TearDown() override {
        drain_messages();
        close_script();
        KORVA_keyboard(0);
        korva_state.control_key_down = 0;
    }
};

TEST_F(KeyboardTest, EachKeyGivesItsCodeOnce) {
    struct Case {
        const char* what;
        UINT virtual_key;
        char expected;
    };
    const Case cases[] = {
        {"letter", 'A', 'a'},
        {"digit", '5', '5'},
        {"space", VK_SPACE, KORVA_KEY_SPACE},
        {"enter", VK_RETURN, KORVA_KEY_ENTER},
        {"escape", VK_ESCAPE, KORVA_KEY_ESCAPE},
        {"backspace", VK_BACK, KORVA_KEY_BACKSPACE},
        {"tab", VK_TAB, KORVA_KEY_TAB},
        {"left", VK_LEFT, KORVA_KEY_LEFT},
        {"right", VK_RIGHT, KORVA_KEY_RIGHT},
        {"up", VK_UP, KORVA_KEY_UP},
        {"down", VK_DOWN, KORVA_KEY_DOWN},
        {"delete", VK_DELETE, KORVA_KEY_DELETE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        post_press(graphics(), c.virtual_key);
        char key = 0;
        ASSERT_EQ(wait_for(&key), KORVA_KBD);
        EXPECT_EQ(int(key), int(c.expected));
        expect_nothing_more(c.what);
    }
}

TEST_F(KeyboardTest, TypedCharactersOfAnyLayoutKeepTheirCode) {
    const unsigned char characters[] = {'Z', '!', '~', 0xE9};
    for (unsigned char c : characters) {
        SCOPED_TRACE(int(c));
        PostMessageA(graphics(), WM_CHAR, c, 1);
        char key = 0;
        ASSERT_EQ(wait_for(&key), KORVA_KBD);
        EXPECT_EQ(key, static_cast<char>(c));
    }
}

TEST_F(KeyboardTest, ControlCodesOtherThanTheNamedKeysMakeNoEvent) {
    for (WPARAM c : {WPARAM(1), WPARAM(28), WPARAM(31), WPARAM(127), WPARAM(0x263A)}) {
        SCOPED_TRACE(c);
        PostMessageA(graphics(), WM_CHAR, c, 1);
        expect_nothing_more("control code");
    }
}

TEST_F(KeyboardTest, CtrlLetterStaysAShortcutAndMakesNoKeyEvent) {
    struct Case {
        UINT letter;
        uint8_t animating_before, animating_after;
    };
    // Ctrl+H types the backspace code and Ctrl+M the enter code: neither may become a key.
    const Case cases[] = {{'H', 1, 0}, {'A', 0, 1}, {'M', 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Ctrl+") + char(c.letter));
        korva_state.animating = c.animating_before;
        korva_state.event_kind = KORVA_NONE;
        // In two steps, as a keyboard delivers them: the character message that the key-down
        // is translated into comes before the keys are released.
        LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(c.letter, MAPVK_VK_TO_VSC)) << 16;
        PostMessageA(graphics(), WM_KEYDOWN, VK_CONTROL, 0x001D0001);
        PostMessageA(graphics(), WM_KEYDOWN, c.letter, scan | 1);
        drain_messages();
        PostMessageA(graphics(), WM_KEYUP, c.letter, scan | 1 | static_cast<LPARAM>(0xC0000000u));
        PostMessageA(graphics(), WM_KEYUP, VK_CONTROL, static_cast<LPARAM>(0xC01D0001u));
        drain_messages();
        EXPECT_EQ(korva_state.event_kind, KORVA_NONE);
        expect_nothing_more("shortcut");
        EXPECT_EQ(korva_state.animating, c.animating_after);
        EXPECT_EQ(korva_state.control_key_down, 0);
    }
}

TEST_F(KeyboardTest, KeysTypedInTheConsoleReachTheProgramOnce) {
    const UINT keys[] = {'K', VK_LEFT, VK_RETURN};
    const char expected[] = {'k', KORVA_KEY_LEFT, KORVA_KEY_ENTER};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        post_press(korva_state.text_window, keys[i]);
        char key = 0;
        ASSERT_EQ(wait_for(&key), KORVA_KBD);
        EXPECT_EQ(int(key), int(expected[i]));
        expect_nothing_more("console key");
    }
}

TEST_F(KeyboardTest, SwitchedOffKeysMakeNoEvents) {
    KORVA_keyboard(0);
    for (UINT k : {UINT('A'), UINT(VK_LEFT), UINT(VK_RETURN), UINT(VK_DELETE)}) post_press(graphics(), k);
    PostMessageA(graphics(), WM_CHAR, 'x', 1);
    expect_nothing_more("keyboard off");
}

TEST_F(KeyboardTest, RecordedKeysPlayBackAsTheSameEvents) {
    korva_state.recording = 1;
    const UINT keys[] = {'Q', VK_LEFT, VK_ESCAPE};
    char typed[3];
    for (int i = 0; i < 3; ++i) {
        post_press(graphics(), keys[i]);
        ASSERT_EQ(wait_for(&typed[i]), KORVA_KBD);
    }
    korva_state.recording = 0;
    close_script();
    ASSERT_EQ(read_file(SCRIPT_FILE_NAME), "KORVA_KBD(113);\r\nKORVA_KBD(28);\r\nKORVA_KBD(27);\r\n");

    drain_messages();
    KORVA_keyboard(0);  // only the script makes events now
    korva_state.playing_back = 1;
    for (char expected : typed) {
        post_fillers(1);
        char key = 0;
        ASSERT_EQ(wait_for(&key), KORVA_KBD);
        EXPECT_EQ(key, expected);
    }
    korva_state.playing_back = 0;
}

}  // namespace
