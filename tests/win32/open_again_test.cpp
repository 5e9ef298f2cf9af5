// Opening again after a close, in a process of its own: the same two windows and canvas each
// time, memory that stays flat over many cycles, new windows only when the close box destroyed
// the old ones, pictures freed at close and refused after it, every opt-in operation refused
// while closed, and the imaging component's COM apartment left as the program had it.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "korva/base/state.h"
#include "korva/base/command_ids.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

constexpr char SPRITE[] = "sprite.png";

// The process's windows of the library's two classes, visible or not.
int library_windows() {
    return own_windows_of_class("DrawWndClass") + own_windows_of_class("TextWndClass");
}

size_t private_bytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

// One run of a small program: open, draw, load and draw a picture upright and turned (which
// starts the platform's imaging, and the close ends it), close.
void one_run() {
    ASSERT_EQ(1, KORVA_open());
    KORVA_logging(0);
    KORVA_draw_circle(KORVA_RED, 0, 0, 50);
    int id = KORVA_load_picture(SPRITE);
    ASSERT_GE(id, 1);
    KORVA_draw_picture(id, 10, 10);
    const std::vector<uint32_t> before = canvas_pixels();
    ASSERT_EQ(1, KORVA_draw_picture_turned(id, -100, 10, 30, 1.5));
    ASSERT_FALSE(before == canvas_pixels()) << "the turned picture drew nothing";
    drain_messages();
    ASSERT_EQ(1, KORVA_close());
}

TEST(OpenAgainTest, EachOpenAfterACloseUsesTheSameWindowsAndMemoryStaysFlat) {
    one_run();
    const HWND graphics = korva_state.graphics_window, text = korva_state.text_window;
    const HDC canvas = korva_state.canvas_dc;
    for (int i = 0; i < 20; ++i) one_run();
    const size_t settled = private_bytes();
    // A cycle that kept its windows, canvas or pictures leaked 2 MB or more each time.
    constexpr int CYCLES = 300;
    for (int i = 0; i < CYCLES; ++i) {
        one_run();
        if (HasFailure()) return;
    }
    const size_t grown = private_bytes() > settled ? private_bytes() - settled : 0;
    EXPECT_LT(grown, size_t{16} << 20) << CYCLES << " cycles grew the process by " << (grown >> 20) << " MB";
    EXPECT_EQ(graphics, korva_state.graphics_window);
    EXPECT_EQ(text, korva_state.text_window);
    EXPECT_EQ(canvas, korva_state.canvas_dc);
    EXPECT_EQ(2, library_windows());
}

TEST(OpenAgainTest, OpeningAgainStartsAfresh) {
    ASSERT_EQ(1, KORVA_open());
    KORVA_logging(0);
    KORVA_draw_rectangle(KORVA_BLUE, -300, 270, 300, -270, 0);
    KORVA_mouse(KORVA_MOUSE_BUTTONS);
    KORVA_held_keys(1);
    KORVA_animate(ANIMATE_QUIT);
    KORVA_close();
    ASSERT_EQ(1, KORVA_open());
    EXPECT_EQ(0, korva_state.quit_requested) << "the last run's quit must not end this one";
    EXPECT_EQ(0, korva_state.mouse.buttons);
    EXPECT_EQ(0, korva_state.held_keys.events);
    std::vector<uint32_t> pixels = canvas_pixels();
    EXPECT_EQ(0u, pixels[KORVA_CANVAS_WIDTH * 10 + 10]) << "the canvas starts as a new one does";
    KORVA_close();
}

// Sounds are freed at close: an old id answers nothing after it, and open-load-close cycles never
// run out of the 64 slots.
TEST(OpenAgainTest, CloseFreesSounds) {
    const std::string samples(8000, '\x40');
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    write_file("tone.wav", "RIFF" + u32(36 + 8000) + "WAVEfmt " + u32(16) + std::string("\x01\x00\x01\x00", 4) +
                               u32(8000) + u32(8000) + std::string("\x01\x00\x08\x00", 4) + "data" + u32(8000) +
                               samples);
    int first = 0;
    for (int cycle = 0; cycle < 70; ++cycle) {
        ASSERT_EQ(1, KORVA_open());
        const int id = KORVA_load_sound("tone.wav");
        ASSERT_GE(id, 1) << "cycle " << cycle << ": " << testing::PrintToString(console_lines());
        if (cycle == 0) first = id;
        KORVA_close();
        EXPECT_EQ(nullptr, korva_state.sounds.loaded[id - 1].samples) << "cycle " << cycle;
    }
    ASSERT_EQ(1, KORVA_open());
    clear_console();
    EXPECT_EQ(0, KORVA_sound_volume(first, 50)) << "a sound of an earlier run still answers";
    KORVA_close();
    DeleteFileA("tone.wav");
}

// A recording ends at close with its file whole: the next open's events are not recorded over
// it, and a recording started after that begins the file anew, as every recording does.
TEST(OpenAgainTest, ARecordingEndsAtCloseAndTheNextOpenLeavesItsFileWhole) {
    auto one_click = [](int32_t x, int32_t y) {
        post_click(x, y);
        int32_t ex, ey, region;
        char key;
        CharacterRecord hero;
        EXPECT_EQ(KORVA_MOUSE, KORVA_wait_event(&ex, &ey, &key, &region, &hero));
    };
    DeleteFileA("KORVA.SCR");
    ASSERT_EQ(1, KORVA_open());
    command(CMD_RECORD);
    one_click(1, 2);
    KORVA_close();
    EXPECT_EQ(0, korva_state.recording);
    EXPECT_EQ("KORVA_MOUSE(1, 2);\r\n", read_file("KORVA.SCR"));

    ASSERT_EQ(1, KORVA_open());
    one_click(3, 4);
    KORVA_close();
    EXPECT_EQ("KORVA_MOUSE(1, 2);\r\n", read_file("KORVA.SCR")) << "the second run recorded over the first";

    ASSERT_EQ(1, KORVA_open());
    command(CMD_RECORD);
    one_click(5, 6);
    KORVA_close();
    EXPECT_EQ("KORVA_MOUSE(5, 6);\r\n", read_file("KORVA.SCR"));
    DeleteFileA("KORVA.SCR");
}

// The close box destroys the windows; the next open makes new ones, and only those are left.
TEST(OpenAgainTest, AfterTheCloseBoxNewWindowsAreMade) {
    ASSERT_EQ(1, KORVA_open());
    SendMessageA(korva_state.graphics_window, WM_CLOSE, 0, 0);
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    EXPECT_EQ(KORVA_EXIT, KORVA_wait_event(&x, &y, &key, &region, &hero));
    KORVA_close();
    ASSERT_EQ(1, KORVA_open());
    EXPECT_TRUE(IsWindow(korva_state.graphics_window));
    EXPECT_TRUE(IsWindowVisible(korva_state.graphics_window));
    EXPECT_EQ(2, library_windows());
    KORVA_close();
}

TEST(OpenAgainTest, CloseFreesPicturesAndWhileClosedNothingOptInWorks) {
    ASSERT_EQ(1, KORVA_open());
    int id = KORVA_load_picture(SPRITE);
    ASSERT_GE(id, 1);
    const HGDIOBJ dc = korva_state.pictures[id - 1].dc, bitmap = korva_state.pictures[id - 1].bitmap;
    KORVA_close();
    EXPECT_EQ(0u, GetObjectType(dc)) << "the picture's context outlived the close";
    EXPECT_EQ(0u, GetObjectType(bitmap)) << "the picture's pixels outlived the close";
    EXPECT_EQ(0, KORVA_picture_size(id, nullptr, nullptr));

    clear_console();
    EXPECT_EQ(0, KORVA_load_picture(SPRITE));
    EXPECT_EQ(std::vector<std::string>{"Cannot load picture sprite.png: the library is not open\n"}, console_lines());
    EXPECT_EQ(0, KORVA_mouse(KORVA_MOUSE_BUTTONS));
    EXPECT_EQ(0, KORVA_held_keys(1));
    EXPECT_EQ(0, KORVA_keyboard(1));
    EXPECT_EQ(0, KORVA_frame_rate(30));
    EXPECT_EQ(1, KORVA_close()) << "a second close does nothing and still answers 1";
}

// The component runs in whatever apartment the program chose; the library ends only what it
// started, so afterwards the thread is as the program left it.
TEST(OpenAgainTest, PicturesWorkInTheProgramsOwnApartmentAndCloseLeavesItAsItWas) {
    for (DWORD mode : {DWORD{COINIT_MULTITHREADED}, DWORD{COINIT_APARTMENTTHREADED}}) {
        SCOPED_TRACE(mode == COINIT_MULTITHREADED ? "multi-threaded program" : "single-threaded program");
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, mode));
        ASSERT_EQ(1, KORVA_open());
        EXPECT_GE(KORVA_load_picture(SPRITE), 1) << testing::PrintToString(console_lines());
        KORVA_close();
        CoUninitialize();
    }
    ASSERT_EQ(1, KORVA_open());
    EXPECT_GE(KORVA_load_picture(SPRITE), 1);
    KORVA_close();
    // Nothing left started: a new start is the first one again.
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) << "the library left COM started";
    CoUninitialize();
}

}  // namespace
