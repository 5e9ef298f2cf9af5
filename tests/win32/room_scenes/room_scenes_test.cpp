// Whole runs of the room: room_main plays a short script in replay mode on this thread, and the
// test reads what it left behind (the canvas, the console's log lines, the menu). The library
// opens once per process, so ctest runs each scene in a process of its own (--gtest_filter).
#include <gtest/gtest.h>

#include <windows.h>

#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "korva/platform/bmp_image.h"
#include "support/korva_session.h"

int room_main();

namespace {

constexpr int W = KORVA_CANVAS_WIDTH;
constexpr int H = KORVA_CANVAS_HEIGHT;
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t BLACK = 0x000000;
constexpr const char* SCRIPT = "scene.scr";
constexpr const char* SAVED_CANVAS = "scene.bmp";
constexpr const char* BESOURU = "Besouru the Fighter";
constexpr int32_t NAME_POINT_SIZE = 10;

// The doorways as the room draws them, in drawing order: north, east, south, west.
struct Doorway {
    int32_t cx, cy;
    uint32_t rgb;
    const char* colour_name;
};
constexpr Doorway DOORWAYS[4] = {
    {60, 60, 0xFF0000, "red"},
    {60, -60, 0x0000FF, "blue"},
    {-60, -60, 0x00FF00, "green"},
    {-60, 60, 0xFFFF00, "yellow"},
};

struct NameAt {
    int32_t x, y;
};

// Plays `script` through the whole room. A second room_main in one process would find the
// library already open, so only the first scene of a process runs.
bool room_ran = false;
int run_room(const std::string& script, bool save_canvas = false) {
    write_file(SCRIPT, script);
    SetEnvironmentVariableA("KORVA_REPLAY", SCRIPT);
    SetEnvironmentVariableA("KORVA_REPLAY_CANVAS", save_canvas ? SAVED_CANVAS : nullptr);
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.show_command = SW_SHOWNORMAL;
    room_ran = true;
    return room_main();
}

#define ONE_ROOM_PER_PROCESS()                                                                         \
    if (room_ran) GTEST_SKIP() << "one room per process: run this scene alone with --gtest_filter"

// The log lines of one redraw of the scene with these names standing at these points.
std::vector<std::string> redraw(const std::vector<NameAt>& names) {
    std::vector<std::string> lines = {"Clearing the graphics window"};
    for (const Doorway& d : DOORWAYS) {
        lines.push_back(std::string(d.colour_name) + " rectangle with bounding box (" + std::to_string(d.cx - 20) +
                        "," + std::to_string(d.cy + 20) + ") to (" + std::to_string(d.cx + 20) + "," +
                        std::to_string(d.cy - 20) + "), filled");
    }
    for (const NameAt& n : names)
        lines.push_back("black text at (" + std::to_string(n.x) + "," + std::to_string(n.y) + "), \"" + BESOURU + "\"");
    return lines;
}

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<std::string> SCRIPT_ENDS = {std::string("EOF encountered in script file ") + SCRIPT};

// The console's lines without their line ends, oldest first.
std::vector<std::string> log_lines() {
    std::vector<std::string> lines = console_lines();
    for (std::string& line : lines)
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return lines;
}

std::string listed(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

void expect_log(const std::vector<std::string>& expected) {
    const std::vector<std::string> actual = log_lines();
    EXPECT_TRUE(expected == actual) << "the console's lines, expected:\n"
                                    << listed(expected) << "got:\n" << listed(actual);
}

// The empty room: white, a black frame on the outermost pixels, and the four doorway squares
// (both corners included, so 41 x 41 pixels each) around the drawing origin.
uint32_t empty_room_pixel(int px, int py) {
    if (px == 0 || py == 0 || px == W - 1 || py == H - 1) return BLACK;
    for (const Doorway& d : DOORWAYS) {
        const int left = korva_state.origin_x + d.cx - 20;
        const int top = korva_state.origin_y - d.cy - 20;
        if (px >= left && px <= left + 40 && py >= top && py <= top + 40) return d.rgb;
    }
    return WHITE;
}

// Canvas pixels [left, right) x [top, bottom) that a name drawn at a point may ink: its
// measured cell stands above the point, with a margin for the glyphs' overhang.
struct Box {
    int left, top, right, bottom;
    bool holds(int px, int py) const { return px >= left && px < right && py >= top && py < bottom; }
};
Box name_box(NameAt at) {
    int32_t height = 0, width = 0;
    KORVA_text_extent(NAME_POINT_SIZE, &height, &width, BESOURU);
    const int left = korva_state.origin_x + at.x;
    const int top = korva_state.origin_y - at.y - height;
    return {left - 3, top - 3, left + width + 3, top + height + 3};
}

// Every pixel is the empty room's, except inside the names' boxes, and each box holds black ink.
void expect_room(const std::vector<uint32_t>& pixels, const std::vector<NameAt>& names, const char* what) {
    ASSERT_EQ(size_t(W) * H, pixels.size()) << what;
    std::vector<Box> boxes;
    for (const NameAt& n : names) boxes.push_back(name_box(n));
    int differing = 0;
    std::string first;
    for (int py = 0; py < H; ++py) {
        for (int px = 0; px < W; ++px) {
            bool in_name = false;
            for (const Box& b : boxes) in_name = in_name || b.holds(px, py);
            if (in_name) continue;
            const uint32_t expected = empty_room_pixel(px, py);
            const uint32_t actual = pixels[size_t(py) * W + px];
            if (actual == expected) continue;
            if (differing++ == 0) {
                char text[96];
                snprintf(text, sizeof text, "(%d,%d) is %06X, expected %06X", px, py, unsigned(actual),
                         unsigned(expected));
                first = text;
            }
        }
    }
    EXPECT_EQ(0, differing) << what << ": pixels that differ from the empty room; the first: " << first;
    for (size_t i = 0; i < names.size(); ++i) {
        int ink = 0;
        const Box& b = boxes[i];
        for (int py = std::max(b.top, 0); py < std::min(b.bottom, H); ++py)
            for (int px = std::max(b.left, 0); px < std::min(b.right, W); ++px)
                ink += pixels[size_t(py) * W + px] == BLACK;
        EXPECT_GT(ink, 0) << what << ": no name drawn at (" << names[i].x << "," << names[i].y << ")";
    }
}

TEST(RoomScene, EmptyRoomIsTheWhiteCanvasWithItsFrameAndTheFourDoorways) {
    ONE_ROOM_PER_PROCESS();
    EXPECT_EQ(0, run_room(""));
    expect_room(canvas_pixels(), {}, "the canvas");
}

TEST(RoomScene, AHeroEnteredTwiceStandsTwiceAndIsDrawnTwice) {
    ONE_ROOM_PER_PROCESS();
    // The second entry comes through the east doorway, so the two names stand apart.
    EXPECT_EQ(0, run_room("KORVA_COMMAND(4);\n"
                          "KORVA_COMMAND(13);\n"
                          "KORVA_COMMAND(21);\n"
                          "KORVA_COMMAND(13);\n"));
    const std::vector<NameAt> both = {{0, 0}, {60, -60}};
    expect_log(joined({redraw({{0, 0}}), redraw(both), SCRIPT_ENDS, redraw(both)}));
    expect_room(canvas_pixels(), both, "the canvas");
}

// Besouru stands off the centre under control, so a key or a tick taken for a click (which
// carries (0, 0) and Besouru), a leave or an entry would show in the scene.
TEST(RoomScene, KeyAndPeriodicEventsOnlyRedraw) {
    ONE_ROOM_PER_PROCESS();
    EXPECT_EQ(0, run_room("KORVA_COMMAND(13);\n"
                          "KORVA_COMMAND(10);\n"
                          "KORVA_MOUSE(100, -100);\n"
                          "KORVA_COMMAND(4);\n"
                          "KORVA_KBD(97);\n"
                          "KORVA_PERIODIC(1);\n"));
    const std::vector<std::string> scene = redraw({{100, -100}});
    expect_log(joined({scene, scene, SCRIPT_ENDS, scene}));
    expect_room(canvas_pixels(), {{100, -100}}, "the canvas");
    EXPECT_EQ(1, korva_state.control_besouru) << "Besouru is still under control";
}

// A thread message, queued before the room starts, is taken by its first wait: the hook then
// marks the canvas, which by that time holds the first scene. Only a redraw after that wait
// and before KORVA_close keeps the mark out of the canvas that KORVA_close saves.
constexpr UINT MARK_MESSAGE = WM_APP + 41;
bool canvas_marked = false;
HHOOK mark_hook = nullptr;
LRESULT CALLBACK mark_canvas(int code, WPARAM removal, LPARAM message) {
    const MSG* taken = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && taken->message == MARK_MESSAGE) {
        RECT mark = {200, 400, 230, 430};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(korva_state.canvas_dc, &mark, magenta);
        DeleteObject(magenta);
        canvas_marked = true;
    }
    return CallNextHookEx(mark_hook, code, removal, message);
}

TEST(RoomScene, AfterExitTheSceneIsDrawnOnceMoreBeforeTheLibraryCloses) {
    ONE_ROOM_PER_PROCESS();
    MSG unused;
    PeekMessageA(&unused, nullptr, 0, 0, PM_NOREMOVE);  // gives this thread its queue
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), MARK_MESSAGE, 0, 0));
    mark_hook = SetWindowsHookExA(WH_GETMESSAGE, mark_canvas, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, mark_hook);

    // Logging on, then the end of the script: the wait that took the mark returns KORVA_EXIT.
    const int result = run_room("KORVA_COMMAND(4);\n", true);
    UnhookWindowsHookEx(mark_hook);

    EXPECT_EQ(0, result);
    ASSERT_TRUE(canvas_marked) << "the room's first wait never took the marking message";
    expect_log(joined({SCRIPT_ENDS, redraw({})}));
    EXPECT_EQ(nullptr, korva_state.window_dc) << "KORVA_close gives back the window's context";
    const std::string saved = read_file(SAVED_CANVAS);
    BmpImage image{};
    const char* fault = decode_bmp(reinterpret_cast<const uint8_t*>(saved.data()), saved.size(), &image);
    ASSERT_EQ(nullptr, fault) << "the canvas KORVA_close saved: " << fault;
    ASSERT_EQ(W, image.width);
    ASSERT_EQ(H, image.height);
    expect_room(image.pixels, {}, "the canvas saved at KORVA_close");
}

// The name is drawn at the clicked point in the doorway (not at the doorway's centre), and only
// the redraw after the injected leave takes it away.
TEST(RoomScene, AClickInADoorwayDrawsTheNameThereThenTheHeroLeaves) {
    ONE_ROOM_PER_PROCESS();
    EXPECT_EQ(0, run_room("KORVA_COMMAND(13);\n"
                          "KORVA_COMMAND(10);\n"
                          "KORVA_COMMAND(4);\n"
                          "KORVA_MOUSE(45, 73);\n"));
    expect_log(joined({redraw({{45, 73}}), redraw({}), SCRIPT_ENDS, redraw({})}));
    expect_room(canvas_pixels(), {}, "the canvas");
    EXPECT_EQ(0, korva_state.control_besouru) << "Besouru is no longer under control";
    const UINT item = GetMenuState(korva_state.run_menu, CMD_CONTROL_BESOURU, MF_BYCOMMAND);
    EXPECT_TRUE(item & MF_GRAYED) << "\"&Control Besouru\" is grayed";
    EXPECT_FALSE(item & MF_CHECKED) << "\"&Control Besouru\" is unchecked";
}

}  // namespace
