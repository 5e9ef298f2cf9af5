// Replay mode inside one process: KORVA_open starting it from the environment, the script's
// events as the only events (live clicks, keys, menu commands and the program's own animation
// add none), KORVA_EXIT at once after the end or a bad line, a missing script, the prompt, and
// KORVA_save_canvas writing the canvas as a BMP.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>

#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "korva/extras/replay.h"
#include "korva/platform/bmp_image.h"
#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

// Everything a person could do to the program while a replay runs, and lots of ticks.
void post_live_input() {
    PostMessageA(graphics(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    PostMessageA(graphics(), WM_KEYDOWN, VK_CONTROL, 0);
    PostMessageA(graphics(), WM_KEYDOWN, 'R', 0);  // Ctrl+R: start recording
    PostMessageA(graphics(), WM_COMMAND, CMD_BESOURU_ENTERS, 0);
    PostMessageA(graphics(), WM_COMMAND, CMD_QUIT, 0);
    for (int i = 0; i < 150; ++i) PostMessageA(graphics(), WM_TIMER, 99, 0);
}

// What the program sees of one played event: its kind, place and key (hero and region stay 0).
using Played = SeenEvent;

// One wait; its region and hero go to the given places.
Played wait_played(int32_t* region, CharacterRecord* hero) {
    Played p{};
    char key = 0;
    p.kind = KORVA_wait_event(&p.x, &p.y, &key, region, hero);
    p.key = key;
    return p;
}

// Waits until the first KORVA_EXIT and `extra` waits after it; every result in order.
std::vector<Played> wait_through(int extra) {
    std::vector<Played> events;
    int exits = 0;
    while (exits <= extra && events.size() < 100) {
        int32_t region;
        CharacterRecord hero;
        Played p = wait_played(&region, &hero);
        if (p.kind == KORVA_EXIT) ++exits;
        events.push_back(p);
    }
    return events;
}

bool console_has(const std::string& line) {
    for (const std::string& l : console_lines())
        if (l == line) return true;
    return false;
}

constexpr const char* SCRIPT = "replay_test.scr";
constexpr Played EXIT{KORVA_EXIT, 0, 0, 0};

class ReplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The replay that KORVA_open itself starts, as in a program run by the harness.
        write_file(SCRIPT, "KORVA_MOUSE(5, 6);\r\n");
        SetEnvironmentVariableA(REPLAY_SCRIPT_VARIABLE, SCRIPT);
        SetEnvironmentVariableA(REPLAY_CANVAS_VARIABLE, "replay_test.bmp");
        open_korva_without_ticks();
        KORVA_animate(ANIMATE_RUN);  // what the room does right after KORVA_open
    }

    // Back to a library that has never replayed.
    static void reset() {
        drain_messages();
        close_script();
        LibraryState& s = korva_state;
        s.replay.active = s.replay.over = s.replay.failed = 0;
        s.replay.script[0] = s.replay.canvas[0] = '\0';
        s.replay.script_commands = 0;
        s.playing_back = s.play_one = s.recording = 0;
        s.periodic_count = 0;
        s.quit_requested = 0;
        s.injected_event_pending = 0;
        clear_console();
    }

    // A replay of `text` (null: of whatever the file holds) started as KORVA_open starts it.
    static void restart(const char* text, const char* name = SCRIPT) {
        reset();
        if (text != nullptr) write_file(name, text);
        SetEnvironmentVariableA(REPLAY_SCRIPT_VARIABLE, name);
        read_environment_choices();
        KORVA_animate(ANIMATE_RUN);
    }

    static void TearDownTestSuite() {
        SetEnvironmentVariableA(REPLAY_SCRIPT_VARIABLE, nullptr);
        SetEnvironmentVariableA(REPLAY_CANVAS_VARIABLE, nullptr);
    }
};

TEST_F(ReplayTest, OpenStartsPlaybackOfTheNamedScript) {
    const LibraryState& s = korva_state;
    EXPECT_EQ(1, s.replay.active);
    EXPECT_EQ(1, s.playing_back);
    EXPECT_EQ(0, s.replay.failed);
    EXPECT_STREQ(SCRIPT, s.replay.script);
    EXPECT_STREQ("replay_test.bmp", s.replay.canvas);
    EXPECT_STREQ(SCRIPT, script_file_name());
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(s.run_menu, CMD_PLAYBACK, MF_BYCOMMAND) & MF_CHECKED);
    std::vector<Played> expected{{KORVA_MOUSE, 5, 6, 0}, EXIT};
    std::vector<Played> got = wait_through(0);
    EXPECT_TRUE(same(expected, got)) << describe(got);
}

TEST_F(ReplayTest, UnsetOrEmptyVariableChangesNothing) {
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        reset();
        korva_state.animating = 0;
        SetEnvironmentVariableA(REPLAY_SCRIPT_VARIABLE, value);
        read_environment_choices();
        EXPECT_EQ(0, korva_state.replay.active) << (value ? "empty" : "unset");
        EXPECT_EQ(0, korva_state.playing_back);
        EXPECT_STREQ(SCRIPT_FILE_NAME, script_file_name());
        EXPECT_EQ(nullptr, korva_state.script_file);
    }
}

// The script's events and nothing else: no live click, key, menu command or periodic event
// from the animation the program switched on, however many messages and ticks arrive. The
// queued Quit command is dropped as well: a replay ends only with its script.
TEST_F(ReplayTest, OnlyTheScriptMakesEventsThenEveryWaitExits) {
    restart("KORVA_PERIODIC(3);\r\nKORVA_MOUSE(-7, 8);\r\n\r\nKORVA_KBD(65);\r\nKORVA_PERIODIC(1);\r\n");
    post_live_input();
    std::vector<Played> got = wait_through(3);
    std::vector<Played> expected{{KORVA_PERIODIC, 0, 0, 0}, {KORVA_PERIODIC, 0, 0, 0}, {KORVA_PERIODIC, 0, 0, 0},
                                 {KORVA_MOUSE, -7, 8, 0},   {KORVA_KBD, 0, 0, 'A'},    {KORVA_PERIODIC, 0, 0, 0},
                                 EXIT,                      EXIT,                      EXIT,
                                 EXIT};
    EXPECT_TRUE(same(expected, got)) << describe(got);
    EXPECT_EQ(0, korva_state.recording) << "Ctrl+R reached the window";
    EXPECT_TRUE(console_has("EOF encountered in script file replay_test.scr\n"));
}

// Bad content ends the replay at the bad line, as it ends playback; the program still gets EXIT.
TEST_F(ReplayTest, BadLinesEndTheReplay) {
    const struct {
        const char* name;
        std::string bad;
    } cases[] = {
        {"junk", "this is no script line\r\n"},
        {"NUL at the kind", std::string("KORVA_\0MOUSE(9, 9);\r\n", 22)},
        {"1 MB line", std::string(1 << 20, 'A') + "\r\n"},
        {"short line", "KORVA\r\n"},
        {"last line without an end", "KORVA_MOUSE(9, 9);"},
    };
    for (const auto& c : cases) {
        restart(("KORVA_MOUSE(1, 2);\r\n" + c.bad + (c.name[0] == 'l' ? "" : "KORVA_MOUSE(9, 9);\r\n")).c_str());
        std::vector<Played> got = wait_through(1);
        std::vector<Played> expected{{KORVA_MOUSE, 1, 2, 0}, EXIT, EXIT};
        EXPECT_TRUE(same(expected, got)) << c.name << ": " << describe(got);
    }
}

// A replay plays menu command lines whether or not the program asked for them to be
// recorded: the heroes' entries and leaves are the requests' events, the other commands change
// state only. A command no script may hold ends the replay there, and the program gets EXIT.
TEST_F(ReplayTest, CommandLinesArePlayedAndABadOneEndsTheReplay) {
    restart("KORVA_COMMAND(22);\r\nKORVA_COMMAND(15);\r\nKORVA_COMMAND(12);\r\nKORVA_MOUSE(5, 6);\r\n"
            "KORVA_COMMAND(18);\r\nKORVA_COMMAND(7);\r\nKORVA_MOUSE(9, 9);\r\n");
    EXPECT_EQ(0, korva_state.replay.script_commands);
    post_live_input();
    std::vector<int32_t> heroes;
    std::vector<Played> got;
    for (int i = 0; i < 5; ++i) {
        int32_t region;
        CharacterRecord hero;
        got.push_back(wait_played(&region, &hero));
        heroes.push_back(hero.id);
        EXPECT_EQ(WEST, region) << "event " << i;
    }
    std::vector<Played> expected{{KORVA_ENTER, 0, 0, 0}, {KORVA_MOUSE, 5, 6, 0}, {KORVA_LEAVE, 0, 0, 0}, EXIT, EXIT};
    EXPECT_TRUE(same(expected, got)) << describe(got);
    const int32_t mushi = HERO_MUSHI_ID;
    EXPECT_EQ(std::vector<int32_t>({mushi, mushi, mushi, HERO_NOBODY_ID, HERO_NOBODY_ID}), heroes);
    EXPECT_TRUE(console_has("Script file replay_test.scr: command 7 cannot be played\n"));
    EXPECT_EQ(0, korva_state.control_mushi);
}

TEST_F(ReplayTest, NumbersBeyond32BitsPlayAsTheNearest32BitValue) {
    restart("KORVA_MOUSE(99999999999, -99999999999);\r\n");
    std::vector<Played> got = wait_through(0);
    std::vector<Played> expected{{KORVA_MOUSE, INT32_MAX, INT32_MIN, 0}, EXIT};
    EXPECT_TRUE(same(expected, got)) << describe(got);
}

// A missing script: the player's message, no events at all, and KORVA.SCR is not read instead.
TEST_F(ReplayTest, MissingScriptEndsTheRunAtOnce) {
    write_file(SCRIPT_FILE_NAME, "KORVA_MOUSE(4, 4);\r\n");
    remove("no_such_replay.scr");
    restart(nullptr, "no_such_replay.scr");
    EXPECT_TRUE(console_has("Cannot open script file no_such_replay.scr for reading\n"));
    EXPECT_EQ(1, korva_state.replay.failed);
    std::vector<Played> got = wait_through(1);
    std::vector<Played> expected{EXIT, EXIT};
    EXPECT_TRUE(same(expected, got)) << describe(got);
    remove(SCRIPT_FILE_NAME);
}

TEST_F(ReplayTest, PromptIsAnsweredWithEmptyText) {
    restart("KORVA_MOUSE(1, 2);\r\n");
    char answer[256];
    memset(answer, 'x', sizeof answer);
    EXPECT_EQ(1, KORVA_gets("Your name?", answer));
    EXPECT_STREQ("", answer);
    EXPECT_TRUE(console_has("Replay: the prompt \"Your name?\" is answered with empty text\n"));
}

class SaveCanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { open_korva_once(); }
};

TEST_F(SaveCanvasTest, WritesTheWholeCanvasAsA24BitBmp) {
    KORVA_clear();
    KORVA_draw_rectangle(KORVA_ORANGE, -20, 10, 30, -15, 0);
    KORVA_draw_pixel(KORVA_BLUE, 100, 100);
    remove("canvas_test.bmp");
    ASSERT_EQ(1, KORVA_save_canvas("canvas_test.bmp"));
    std::string file = read_file("canvas_test.bmp");
    ASSERT_EQ(BMP_HEADER_SIZE + 1804u * 540u, file.size());
    EXPECT_EQ(24, file[28]);
    BmpImage image;
    ASSERT_EQ(nullptr, decode_bmp(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &image));
    ASSERT_EQ(601, image.width);
    ASSERT_EQ(540, image.height);
    // Every pixel as the canvas holds it, frame and all.
    int32_t wrong = 0;
    for (int32_t y = 0; y < 540; ++y)
        for (int32_t x = 0; x < 601; ++x) {
            COLORREF c = GetPixel(korva_state.canvas_dc, x, y);
            uint32_t rgb = static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
            if (image.pixels[static_cast<size_t>(y) * 601 + static_cast<size_t>(x)] != rgb) ++wrong;
        }
    EXPECT_EQ(0, wrong);
    int32_t ox = korva_state.origin_x, oy = korva_state.origin_y;
    EXPECT_EQ(0xFF6600u, image.pixels[static_cast<size_t>(oy) * 601 + static_cast<size_t>(ox)]) << "orange";
    EXPECT_EQ(0x000000u, image.pixels[0]) << "the clear's black frame";
}


TEST_F(SaveCanvasTest, SavingOverAnOldFileReplacesItWholeAndLeavesNothingElse) {
    {
        std::ofstream old("old_picture.bmp", std::ios::binary);
        old << std::string(3000000, 'o');  // longer than a canvas: none of it may remain
    }
    const std::vector<std::string> before = directory_names();
    KORVA_clear();
    ASSERT_EQ(1, KORVA_save_canvas("old_picture.bmp"));
    std::string file = read_file("old_picture.bmp");
    ASSERT_EQ(BMP_HEADER_SIZE + 1804u * 540u, file.size());
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ(before, directory_names()) << "a file was left beside the picture";
    remove("old_picture.bmp");
}

TEST_F(SaveCanvasTest, FilesThatCannotBeWrittenAreReported) {
    CreateDirectoryA("canvas_dir", nullptr);
    write_file("canvas_dir\\mine.txt", "keep");
    const struct {
        const char* path;
        const char* message;
    } cases[] = {
        {nullptr, "Cannot write canvas: no file name\n"},
        {"", "Cannot write canvas: no file name\n"},
        {"canvas_dir", "Cannot write canvas to canvas_dir: a directory\n"},
        // Made by the build beside the test.
        {"a_pipe", "Cannot write canvas to a_pipe: not a regular file (a pipe or a device)\n"},
        {"no_such_dir\\canvas.bmp", "Cannot write canvas to no_such_dir\\canvas.bmp\n"},
    };
    const std::vector<std::string> before = directory_names();
    for (const auto& c : cases) {
        clear_console();
        EXPECT_EQ(0, KORVA_save_canvas(c.path)) << (c.path ? c.path : "null");
        EXPECT_EQ(before, directory_names()) << "a file was left behind for " << (c.path ? c.path : "null");
        std::vector<std::string> lines = console_lines();
        ASSERT_EQ(1u, lines.size()) << (c.path ? c.path : "null");
        EXPECT_EQ(c.message, lines[0]);
    }
    EXPECT_EQ("keep", read_file("canvas_dir\\mine.txt")) << "the folder named as the picture was changed";
    DeleteFileA("canvas_dir\\mine.txt");
    RemoveDirectoryA("canvas_dir");
}

// A name in UTF-8, as a program's source holds it, names the file it spells.
TEST_F(SaveCanvasTest, AUtf8NameSavesUnderTheNameItSpells) {
    // Its reading in a Western code page, as a save of old would have named it: an existing file
    // of that name would be taken for the one meant.
    DeleteFileW(L"b\u00c3\u00a4ume.bmp");
    ASSERT_EQ(1, KORVA_save_canvas("b\xc3\xa4ume.bmp")) << testing::PrintToString(console_lines());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"b\u00e4ume.bmp")) << "saved under another name";
    DeleteFileW(L"b\u00e4ume.bmp");
}

// Temporary files of saves killed part-way: those of writers that no longer run, untouched for a
// while, go at the next save of that file; a running writer's, a fresh one and other files stay.
TEST_F(SaveCanvasTest, LeftoversOfKilledSavesDoNotPileUp) {
    auto plant = [](const char* name, bool old) {
        write_file(name, std::string(1000, 't'));
        if (!old) return;
        HANDLE file = CreateFileA(name, FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
        t.QuadPart -= 3600ull * 10000000ull;  // an hour ago
        FILETIME then{t.LowPart, t.HighPart};
        SetFileTime(file, nullptr, nullptr, &then);
        CloseHandle(file);
    };
    // No process 4000000 or 4000001 runs.
    plant("shot.bmp.4000000-1.tmp", true);
    plant("shot.bmp.4000000-2.tmp", true);
    plant("shot.bm.4000000-3.tmp", true);           // a name cut short for the path limit
    plant("shot.bmp.4000001-1.tmp", false);         // just written: its writer may be elsewhere
    plant("other.bmp.4000000-1.tmp", true);         // another file's
    plant("notes.tmp", true);                       // not one of ours at all
    KORVA_clear();
    ASSERT_EQ(1, KORVA_save_canvas("shot.bmp"));
    std::vector<std::string> names = directory_names();
    auto has = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) != names.end(); };
    EXPECT_FALSE(has("shot.bmp.4000000-1.tmp"));
    EXPECT_FALSE(has("shot.bmp.4000000-2.tmp"));
    EXPECT_FALSE(has("shot.bm.4000000-3.tmp"));
    EXPECT_TRUE(has("shot.bmp.4000001-1.tmp"));
    EXPECT_TRUE(has("other.bmp.4000000-1.tmp"));
    EXPECT_TRUE(has("notes.tmp"));
    for (const char* n : {"shot.bmp", "shot.bmp.4000001-1.tmp", "other.bmp.4000000-1.tmp", "notes.tmp"}) remove(n);
}

// A target whose name just fits the path limit is still saved: the temporary name beside it is
// cut short rather than passing the limit. Replacing keeps the old file's attributes.
TEST_F(SaveCanvasTest, ANameAtThePathLimitSavesAndAttributesAreKept) {
    char folder[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
    std::string path = std::string(folder, n) + "\\";
    path += std::string(MAX_PATH - 1 - path.size() - 4, 'n') + ".bmp";
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 1), path.size());
    KORVA_clear();
    clear_console();
    EXPECT_EQ(1, KORVA_save_canvas(path.c_str())) << testing::PrintToString(console_lines());
    const std::vector<std::string> after_first = directory_names();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(1, KORVA_save_canvas(path.c_str()));
    DWORD attributes = GetFileAttributesA(path.c_str());
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_HIDDEN) << "replacing dropped the file's attributes";
    EXPECT_EQ(after_first, directory_names()) << "a file was left beside the picture";
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

}  // namespace
