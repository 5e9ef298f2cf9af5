// The text console through the real windows: the ring of lines and their blocks, the
// logging switch and its check mark, key forwarding, and what the paint puts on screen.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

class Console : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_once();
        drain_messages();
        clear_console();
    }
};

// The stored line at ring position k (oldest first) and its block's size.
static SIZE_T block_size_of_newest() {
    int32_t newest = (korva_state.console_next + CONSOLE_LINE_COUNT - 1) % CONSOLE_LINE_COUNT;
    return GlobalSize(korva_state.console_lines[newest]);
}

struct PrintCase {
    const char* name;
    std::function<int()> print;
    int result;
    std::string stored;
};

TEST_F(Console, EachCallStoresOneLineAndReturnsTheFormattedCount) {
    const PrintCase cases[] = {
        {"number and newline", [] { return KORVA_printf("%d\n", 1234); }, 5, "1234\n"},
        {"newline inside stays one line", [] { return KORVA_printf("top\nbottom"); }, 10, "top\nbottom"},
        {"empty text", [] { return KORVA_printf("%s", ""); }, 0, ""},
        {"mixed conversions", [] { return KORVA_printf("%s=%03d %c", "x", 7, 'z'); }, 7, "x=007 z"},
        {"a NUL ends the stored line", [] { return KORVA_printf("ab%cde", 0); }, 5, "ab"},
    };
    for (const PrintCase& c : cases) {
        clear_console();
        EXPECT_EQ(c.result, c.print()) << c.name;
        std::vector<std::string> lines = console_lines();
        ASSERT_EQ(1u, lines.size()) << c.name;
        EXPECT_EQ(c.stored, lines[0]) << c.name;
        EXPECT_GE(block_size_of_newest(), c.stored.size() + 1) << c.name;
    }
}

TEST_F(Console, LongTextKeepsItsFirst1023Characters) {
    const size_t lengths[] = {1022, 1023, 1024, 5000};
    for (size_t length : lengths) {
        clear_console();
        std::string text(length, 'x');
        text[0] = '<';
        EXPECT_EQ(static_cast<int>(length), KORVA_printf("%s", text.c_str())) << "length " << length;
        ASSERT_EQ(3, KORVA_printf("end")) << "length " << length;
        std::vector<std::string> lines = console_lines();
        ASSERT_EQ(2u, lines.size()) << "length " << length;
        size_t kept = length < 1023 ? length : 1023;
        EXPECT_EQ(text.substr(0, kept), lines[0]) << "length " << length;
        EXPECT_EQ("end", lines[1]) << "the next line is intact after a text of length " << length;
        EXPECT_GE(GlobalSize(korva_state.console_lines[korva_state.console_first]), kept + 1);
    }
}

TEST_F(Console, TwentySixLinesKeepLines2To26) {
    for (int i = 1; i <= 26; ++i) KORVA_printf("line %d", i);
    std::vector<std::string> expected;
    for (int i = 2; i <= 26; ++i) expected.push_back("line " + std::to_string(i));
    EXPECT_EQ(expected, console_lines());
    EXPECT_EQ(1, korva_state.console_first);
    EXPECT_EQ(1, korva_state.console_next);
    for (int32_t i = 0; i < CONSOLE_LINE_COUNT; ++i)
        EXPECT_NE(nullptr, korva_state.console_lines[i]) << "slot " << i;
}

static bool logging_checked() {
    return (GetMenuState(korva_state.run_menu, CMD_LOGGING, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

struct LoggingCase {
    int32_t flag;
    bool console_shown_before;
    uint8_t logging;
    bool checked;
    bool console_shown_after;
};

TEST_F(Console, LoggingSetsFlagAndCheckMarkAndShowsTheConsoleOnlyWhenOn) {
    ASSERT_NE(nullptr, korva_state.run_menu) << "the graphics window builds the menu";
    const LoggingCase cases[] = {
        {0, false, 0, false, false},  // off leaves a hidden console hidden
        {0, true, 0, false, true},    // and a shown one shown
        {7, false, 1, true, true},    // any non-zero is on, and shows the console
        {-1, true, 1, true, true},
        {1, false, 1, true, true},
    };
    for (const LoggingCase& c : cases) {
        KORVA_show_console(c.console_shown_before ? 1 : 0);
        EXPECT_EQ(1, KORVA_logging(c.flag)) << "flag " << c.flag;
        EXPECT_EQ(c.logging, korva_state.logging) << "flag " << c.flag;
        EXPECT_EQ(c.checked, logging_checked()) << "flag " << c.flag;
        EXPECT_EQ(c.console_shown_after, IsWindowVisible(korva_state.text_window) != 0) << "flag " << c.flag;
    }
    KORVA_show_console(1);
}

TEST_F(Console, ShowConsoleShowsAndHides) {
    const std::pair<int32_t, bool> cases[] = {{0, false}, {5, true}, {0, false}, {1, true}};
    for (const auto& c : cases) {
        KORVA_show_console(c.first);
        EXPECT_EQ(c.second, IsWindowVisible(korva_state.text_window) != 0) << "flag " << c.first;
    }
}

struct KeyCase {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

TEST_F(Console, KeyMessagesReachTheGraphicsWindowUnchanged) {
    const KeyCase cases[] = {
        {WM_KEYDOWN, VK_CONTROL, 0x001D0001},
        {WM_KEYDOWN, 'L', 0x00260001},
        {WM_KEYUP, 'L', static_cast<LPARAM>(0xC0260001u)},
        {WM_KEYUP, VK_CONTROL, static_cast<LPARAM>(0xC01D0001u)},
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(0, SendMessageA(korva_state.text_window, c.message, c.wparam, c.lparam));
        MSG msg{};
        ASSERT_TRUE(PeekMessageA(&msg, korva_state.graphics_window, c.message, c.message, PM_REMOVE))
            << "message 0x" << std::hex << c.message << " key 0x" << c.wparam << " was not posted";
        EXPECT_EQ(c.wparam, msg.wParam);
        EXPECT_EQ(c.lparam, msg.lParam);
    }
    SendMessageA(korva_state.text_window, WM_CHAR, 'l', 0x00260001);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, korva_state.graphics_window, WM_CHAR, WM_CHAR, PM_REMOVE))
        << "character messages stay with the console";
}

TEST_F(Console, CtrlHeldInTheConsoleIsSeenByTheGraphicsWindow) {
    SendMessageA(korva_state.text_window, WM_KEYDOWN, VK_CONTROL, 0x001D0001);
    drain_messages();
    EXPECT_EQ(1, korva_state.control_key_down);
    SendMessageA(korva_state.text_window, WM_KEYUP, VK_CONTROL, static_cast<LPARAM>(0xC01D0001u));
    drain_messages();
    EXPECT_EQ(0, korva_state.control_key_down);
}

// The console's client area as 0xRRGGBB pixels, read back from the window after a paint.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

static Capture paint_and_capture() {
    HWND window = korva_state.text_window;
    KORVA_show_console(1);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    Capture c;
    c.pixels = window_client_pixels(window, &c.width, &c.height);
    return c;
}

static int console_line_height() {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tm.tmHeight + tm.tmExternalLeading;
}

static bool dark(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) < 0x80 && ((rgb >> 8) & 0xFF) < 0x80 && (rgb & 0xFF) < 0x80;
}

// Where text stands in rows [top, bottom): leftmost and rightmost dark column, and how many
// pixels are neither white nor dark text (anything the paint should not have left).
struct Ink {
    int dark_pixels = 0;
    int left = -1;
    int right = -1;
    int non_white = 0;
};

static Ink ink_in_rows(const Capture& c, int top, int bottom) {
    Ink ink;
    for (int y = top < 0 ? 0 : top; y < bottom && y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            uint32_t p = c.at(x, y);
            if (p != 0xFFFFFF) ++ink.non_white;
            if (!dark(p)) continue;
            ++ink.dark_pixels;
            if (ink.left < 0 || x < ink.left) ink.left = x;
            if (x > ink.right) ink.right = x;
        }
    return ink;
}

TEST_F(Console, EmptyConsoleIsAllWhite) {
    Capture c = paint_and_capture();
    ASSERT_GT(c.height, 0);
    EXPECT_EQ(0, ink_in_rows(c, 0, c.height).non_white);
}

TEST_F(Console, NewestLineStandsAtTheBottomAndOlderOnesAbove) {
    const int h = console_line_height();
    KORVA_printf("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");  // older: 30 characters wide
    KORVA_printf("W");                               // newest: one character
    Capture c = paint_and_capture();
    ASSERT_GT(c.height, 3 * h);

    Ink newest = ink_in_rows(c, c.height - h, c.height);
    Ink older = ink_in_rows(c, c.height - 2 * h, c.height - h);
    Ink above = ink_in_rows(c, 0, c.height - 2 * h);
    ASSERT_GT(newest.dark_pixels, 0) << "no text in the bottom strip";
    ASSERT_GT(older.dark_pixels, 0) << "no text one line above the bottom";
    EXPECT_GE(newest.left, 5) << "left margin";
    EXPECT_LT(newest.left, 5 + h) << "text starts near the margin";
    EXPECT_LT(newest.right - newest.left, h) << "the bottom line is the one-character line";
    EXPECT_GT(older.right - older.left, 10 * h) << "the line above is the long one";
    EXPECT_EQ(0, above.non_white) << "above the lines the console is white";
}

TEST_F(Console, InnerNewlineKeepsTheTextOnOneLine) {
    const int h = console_line_height();
    KORVA_printf("top\nbottom");
    Capture c = paint_and_capture();
    EXPECT_GT(ink_in_rows(c, c.height - h, c.height).dark_pixels, 0);
    EXPECT_EQ(0, ink_in_rows(c, 0, c.height - h).non_white) << "nothing above the one line";
}

// The bottom strip's pixels after painting this one line.
static std::vector<uint32_t> bottom_strip_of(const char* text) {
    clear_console();
    KORVA_printf("%s", text);
    Capture c = paint_and_capture();
    int h = console_line_height();
    return std::vector<uint32_t>(c.pixels.end() - static_cast<ptrdiff_t>(h) * c.width, c.pixels.end());
}

TEST_F(Console, OneTrailingNewlineIsNotDrawn) {
    std::vector<uint32_t> plain = bottom_strip_of("abc");
    EXPECT_TRUE(plain == bottom_strip_of("abc\n")) << "\"abc\\n\" must paint as \"abc\"";
}

TEST_F(Console, RepaintingNeitherChangesTheStoredLineNorItsDrawing) {
    std::vector<uint32_t> first = bottom_strip_of("abc\n\n");
    std::vector<uint32_t> second(first.size());
    Capture again = paint_and_capture();
    std::copy(again.pixels.end() - static_cast<ptrdiff_t>(first.size()), again.pixels.end(), second.begin());
    EXPECT_TRUE(first == second) << "a second paint drew the line differently";
    EXPECT_EQ(std::vector<std::string>{"abc\n\n"}, console_lines());
}

// What the console window shows once the program has waited for an event (a click, posted so
// that the wait returns) and the paint that the wait left pending has run.
static std::vector<uint32_t> shown_after_a_wait() {
    post_click(0, 0);
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    EXPECT_EQ(KORVA_MOUSE, KORVA_wait_event(&x, &y, &key, &region, &hero));
    drain_messages();
    int w, h;
    return window_client_pixels(korva_state.text_window, &w, &h);
}

// A new line shows once the program waits, whatever happened to the window before: the console
// must not rely on a paint it asked for earlier if something else has taken that paint away.
TEST_F(Console, ANewLineShowsAfterTheNextWaitLikeAFreshPaint) {
    HWND window = korva_state.text_window;
    struct Disturbance {
        const char* name;
        std::function<void()> before_line;  // after the first line is stored, before the second
        std::function<void()> after_line;
    };
    const Disturbance cases[] = {
        {"plain", [] {}, [] {}},
        {"after an outside ValidateRect", [window] { ValidateRect(window, nullptr); }, [] {}},
        {"after an outside ValidateRect and another line",
         [window] {
             ValidateRect(window, nullptr);
             KORVA_printf("a line between");
         },
         [window] { ValidateRect(window, nullptr); }},
        {"hidden then shown", [window] { ShowWindow(window, SW_HIDE); }, [window] { ShowWindow(window, SW_SHOW); }},
        {"minimised then restored", [window] { ShowWindow(window, SW_MINIMIZE); },
         [window] { ShowWindow(window, SW_RESTORE); }},
    };
    for (const Disturbance& c : cases) {
        clear_console();
        KORVA_show_console(1);
        shown_after_a_wait();
        KORVA_printf("first line of %s", c.name);
        c.before_line();
        KORVA_printf("WWWW second line, %s", c.name);
        c.after_line();
        std::vector<uint32_t> shown = shown_after_a_wait();
        Capture fresh = paint_and_capture();
        ASSERT_EQ(fresh.pixels.size(), shown.size()) << c.name;
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); ++i) differing += shown[i] != fresh.pixels[i];
        EXPECT_EQ(0u, differing) << c.name << ": pixels that differ from a fresh paint";
    }
}
