// Opening the library: animation control before and after open, the two window classes and
// windows as created, the canvas with its contexts, and the tick timer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korva/core/window_procs.h"
#include "support/korva_session.h"

namespace {

// Runs first in this process: the library is not open yet.
TEST(CoreOpenTest, AnimateAndLoggingChangeNothingBeforeOpenAndOpenHaltsAnimation) {
    ASSERT_EQ(korva_state.graphics_window, nullptr);
    korva_state.animating = 1;
    korva_state.single_step = 1;
    for (int32_t code : {ANIMATE_HALT, ANIMATE_SINGLE_STEP, ANIMATE_RUN, ANIMATE_QUIT}) {
        EXPECT_EQ(KORVA_animate(code), 0) << "code " << code;
    }
    EXPECT_EQ(KORVA_logging(0), 0);
    EXPECT_EQ(korva_state.animating, 1);
    EXPECT_EQ(korva_state.single_step, 1);
    EXPECT_EQ(korva_state.quit_requested, 0);
    EXPECT_EQ(korva_state.logging, 1);

    open_korva_once();
    ASSERT_NE(korva_state.graphics_window, nullptr);
    EXPECT_EQ(korva_state.animating, 0);
    EXPECT_EQ(korva_state.single_step, 0);
}

TEST(CoreOpenTest, AnimateCodesOnceOpen) {
    open_korva_once();
    struct Case {
        int32_t code;
        uint8_t animating_before, single_before;
        uint8_t animating_after, single_after;
    };
    const Case cases[] = {
        {ANIMATE_HALT, 1, 1, 0, 0},
        {ANIMATE_SINGLE_STEP, 0, 0, 0, 1},
        {ANIMATE_SINGLE_STEP, 1, 0, 1, 1},
        {ANIMATE_RUN, 0, 1, 1, 1},
        {3, 1, 0, 1, 0},
        {4, 0, 1, 0, 1},
        {-1, 1, 1, 1, 1},
        {6, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        korva_state.animating = c.animating_before;
        korva_state.single_step = c.single_before;
        EXPECT_EQ(KORVA_animate(c.code), 1) << "code " << c.code;
        EXPECT_EQ(korva_state.animating, c.animating_after) << "code " << c.code;
        EXPECT_EQ(korva_state.single_step, c.single_after) << "code " << c.code;
        EXPECT_EQ(korva_state.quit_requested, 0) << "code " << c.code;
    }
    korva_state.animating = 0;
    korva_state.single_step = 0;
}

TEST(CoreOpenTest, WindowClassesAreRegistered) {
    open_korva_once();
    struct Case {
        const char* name;
        WNDPROC procedure;
    };
    const Case cases[] = {{"DrawWndClass", graphics_window_proc}, {"TextWndClass", text_window_proc}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WNDCLASSA wc{};
        ASSERT_TRUE(GetClassInfoA(korva_state.instance, c.name, &wc));
        EXPECT_EQ(wc.style, UINT(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(wc.lpfnWndProc, c.procedure);
        EXPECT_EQ(wc.cbClsExtra, 0);
        EXPECT_EQ(wc.cbWndExtra, 0);
        EXPECT_EQ(wc.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
        EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
        LOGBRUSH brush{};
        ASSERT_EQ(GetObjectA(wc.hbrBackground, sizeof brush, &brush), int(sizeof brush));
        EXPECT_EQ(brush.lbStyle, UINT(BS_SOLID));
        EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));
    }
}

TEST(CoreOpenTest, WindowsHaveTheirTitlesStylesAndPlaces) {
    open_korva_once();
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    const LONG resizing = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    struct Case {
        HWND window;
        const char* class_name;
        const char* title;
        LONG present, absent;
        RECT outer;
    };
    const Case cases[] = {
        {korva_state.graphics_window, "DrawWndClass", "KORVA Graphics", WS_CAPTION | WS_SYSMENU, resizing,
         {0, 0, 601, 540}},
        {korva_state.text_window, "TextWndClass", "KORVA Text", WS_OVERLAPPEDWINDOW, 0,
         {0, 550, 601, 550 + screen_height / 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        char text[64] = {};
        GetClassNameA(c.window, text, sizeof text);
        EXPECT_STREQ(text, c.class_name);
        GetWindowTextA(c.window, text, sizeof text);
        EXPECT_STREQ(text, c.title);
        LONG style = GetWindowLongA(c.window, GWL_STYLE);
        EXPECT_EQ(style & c.present, c.present);
        EXPECT_EQ(style & c.absent, 0);
        EXPECT_TRUE(IsWindowVisible(c.window));
        RECT r;
        GetWindowRect(c.window, &r);
        EXPECT_EQ(r.left, c.outer.left);
        EXPECT_EQ(r.top, c.outer.top);
        EXPECT_EQ(r.right, c.outer.right);
        EXPECT_EQ(r.bottom, c.outer.bottom) << "screen height " << screen_height;
    }
}

TEST(CoreOpenTest, CanvasIsSelectedIntoItsMemoryContext) {
    open_korva_once();
    EXPECT_EQ(GetCurrentObject(korva_state.canvas_dc, OBJ_BITMAP), korva_state.canvas_bitmap);
    BITMAP bitmap{};
    ASSERT_EQ(GetObjectA(korva_state.canvas_bitmap, sizeof bitmap, &bitmap), int(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, 601);
    EXPECT_EQ(bitmap.bmHeight, 540);
    EXPECT_EQ(WindowFromDC(korva_state.window_dc), korva_state.graphics_window);
    EXPECT_EQ(korva_state.dialog_instance, korva_state.instance);
    EXPECT_NE(korva_state.run_menu, nullptr);
}

TEST(CoreOpenTest, TickTimerRunsWithId2) {
    open_korva_once();
    EXPECT_TRUE(KillTimer(korva_state.graphics_window, TICK_TIMER_ID)) << "timer 2 was not running";
    EXPECT_FALSE(KillTimer(korva_state.graphics_window, TICK_TIMER_ID));
    SetTimer(korva_state.graphics_window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
}

}  // namespace

namespace {

// A second open while open makes nothing new and says so once; the library stays as it was.
TEST(CoreOpenTest, ASecondOpenWhileOpenCreatesNothingAndSaysSo) {
    open_korva_once();
    clear_console();
    const HWND graphics = korva_state.graphics_window, text = korva_state.text_window;
    const HDC canvas = korva_state.canvas_dc;
    const int graphics_windows = own_windows_of_class("DrawWndClass");
    const int text_windows = own_windows_of_class("TextWndClass");
    EXPECT_EQ(KORVA_open(), 0);
    EXPECT_EQ(korva_state.graphics_window, graphics);
    EXPECT_EQ(korva_state.text_window, text);
    EXPECT_EQ(korva_state.canvas_dc, canvas);
    EXPECT_EQ(own_windows_of_class("DrawWndClass"), graphics_windows);
    EXPECT_EQ(own_windows_of_class("TextWndClass"), text_windows);
    EXPECT_EQ(std::vector<std::string>{"KORVA_open: the library is already open; nothing was opened\n"},
              console_lines());
    EXPECT_TRUE(KillTimer(korva_state.graphics_window, TICK_TIMER_ID)) << "the tick timer must still run";
    SetTimer(korva_state.graphics_window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    clear_console();
}

}  // namespace
