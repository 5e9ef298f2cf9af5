// The room's console under a flood of log lines, seen from inside the process: room_main runs
// for real on this thread, and a message hook, called each time the room takes a message,
// checks the ring of 25 lines between two messages and posts the next input.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <set>
#include <string>

#include "korva/base/state.h"
#include "korva/console/console_ring.h"

int room_main();

namespace {

constexpr uint32_t HEROES = 50;  // a full room: 50 names drawn, so 50 log lines, per redraw
// 2000 redraws write 110,000 lines, more than the 65,536 movable blocks a process can hold
// under Wine: had the ring lost blocks instead of freeing them, the last line could not be stored.
constexpr uint32_t CLICKS = 2000;
constexpr int32_t LINES_PER_REDRAW = 1 + 4 + HEROES;  // the clear, the four doorways, the names
constexpr WPARAM CMD_HALT = 2;
constexpr WPARAM CMD_LOGGING = 4;
constexpr WPARAM CMD_QUIT = 8;
constexpr WPARAM CMD_ENTERS_FIRST = 13;  // 13, 14, 15
// Animation halted, logging on, then the heroes: inputs before the clicks.
constexpr uint32_t SETUP_INPUTS = 2 + HEROES;

struct Flood {
    HHOOK hook;
    uint32_t posted;        // inputs posted so far, setup and clicks
    uint32_t clicks_taken;  // clicks the room has taken from its queue
    bool flooded;           // the last click's redraw is done
    uint32_t checks;        // ring checks made
    int32_t most_lines;     // largest line count seen
    std::string fault;      // the first fault found, empty while none
    std::string marker;     // our own line, written after the flood
    bool marker_checked;
    bool marker_newest;     // it stood as the newest line at the next check
    bool quit_posted;
};
Flood flood;

// The stored lines are exactly the slots from first on, each a live block holding a
// terminated text; every other slot is empty, so no block is lost or kept twice.
std::string ring_fault() {
    const LibraryState& s = korva_state;
    if (!ring_is_valid(s.console_first, s.console_next))
        return "ring indices out of range: first " + std::to_string(s.console_first) + ", next " + std::to_string(s.console_next);
    int32_t count = ring_count(s.console_first, s.console_next);
    if (count > flood.most_lines) flood.most_lines = count;
    bool stored[CONSOLE_RING_SIZE] = {};
    std::set<HGLOBAL> seen;
    for (int32_t k = 0; k < count; ++k) {
        int32_t slot = ring_slot(s.console_first, k);
        stored[slot] = true;
        HGLOBAL block = s.console_lines[slot];
        if (block == nullptr) return "stored line " + std::to_string(k) + " (slot " + std::to_string(slot) + ") has no block";
        if (!seen.insert(block).second) return "slot " + std::to_string(slot) + " shares its block with another line";
        SIZE_T size = GlobalSize(block);
        const char* text = static_cast<const char*>(GlobalLock(block));
        bool terminated = text != nullptr && size > 0 && memchr(text, '\0', size) != nullptr;
        if (text != nullptr) GlobalUnlock(block);
        if (!terminated) return "slot " + std::to_string(slot) + " holds no readable, terminated line (size " + std::to_string(size) + ")";
    }
    for (int32_t slot = 0; slot < CONSOLE_RING_SIZE; ++slot) {
        if (!stored[slot] && s.console_lines[slot] != nullptr)
            return "slot " + std::to_string(slot) + " keeps a block outside the " + std::to_string(count) + " stored lines";
    }
    return "";
}

std::string newest_line() {
    const LibraryState& s = korva_state;
    int32_t count = ring_count(s.console_first, s.console_next);
    if (count == 0) return "";
    HGLOBAL block = s.console_lines[ring_slot(s.console_first, count - 1)];
    const char* text = static_cast<const char*>(GlobalLock(block));
    std::string line = text != nullptr ? text : "";
    if (text != nullptr) GlobalUnlock(block);
    return line;
}

// One input per message taken keeps the room's queue short. Nobody is under control, so a
// click moves nothing and is one plain redraw of the full room.
void post_next_input() {
    HWND window = korva_state.graphics_window;
    const uint32_t n = flood.posted;
    if (n == 0) {
        // With animation halted, nothing but our inputs writes lines, so our own line stays newest.
        PostMessageA(window, WM_COMMAND, CMD_HALT, 0);
    } else if (n == 1) {
        PostMessageA(window, WM_COMMAND, CMD_LOGGING, 0);
    } else if (n < SETUP_INPUTS) {
        PostMessageA(window, WM_COMMAND, CMD_ENTERS_FIRST + n % 3, 0);
    } else if (n < SETUP_INPUTS + CLICKS) {
        LPARAM below_the_doorways = MAKELPARAM(korva_state.origin_x, korva_state.origin_y + 150);
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, below_the_doorways);
    } else {
        return;
    }
    flood.posted = n + 1;
}

// After the flood: one line of our own, which must be the newest at the next message, then Quit.
void finish() {
    if (flood.marker.empty()) {
        flood.marker = "written after " + std::to_string(flood.checks) + " ring checks";
        KORVA_printf("%s", flood.marker.c_str());
    } else if (!flood.marker_checked) {
        flood.marker_newest = newest_line() == flood.marker;
        flood.marker_checked = true;
        PostMessageA(korva_state.graphics_window, WM_COMMAND, CMD_QUIT, 0);
        flood.quit_posted = true;
    }
}

LRESULT CALLBACK on_message_taken(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION && removal == PM_REMOVE && korva_state.graphics_window != nullptr) {
        ++flood.checks;
        if (flood.fault.empty()) flood.fault = ring_fault();
        // The room is between two messages: the last click was taken one message ago, so its
        // redraw is done.
        if (flood.clicks_taken == CLICKS) flood.flooded = true;
        if (flood.flooded) {
            finish();
        } else {
            post_next_input();
        }
        const MSG* taken = reinterpret_cast<const MSG*>(message);
        if (taken->message == WM_LBUTTONDOWN) ++flood.clicks_taken;
    }
    return CallNextHookEx(flood.hook, code, removal, message);
}

TEST(SoakConsole, RingStaysWholeUnderAFloodOfLogLines) {
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.show_command = SW_SHOWNORMAL;
    flood.hook = SetWindowsHookExA(WH_GETMESSAGE, on_message_taken, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, flood.hook) << "cannot watch the room's messages (error " << GetLastError() << ")";

    int result = room_main();
    UnhookWindowsHookEx(flood.hook);

    const uint64_t lines_written = uint64_t{CLICKS} * LINES_PER_REDRAW;
    printf("%u redraws of a full room with logging on: at least %llu console lines; ring checked %u times\n", CLICKS,
           static_cast<unsigned long long>(lines_written), flood.checks);
    EXPECT_EQ(0, result) << "room_main's result";
    EXPECT_EQ(CLICKS, flood.clicks_taken) << "clicks the room took";
    EXPECT_TRUE(flood.quit_posted) << "the room ended before the flood was over";
    EXPECT_EQ("", flood.fault) << "the console ring went wrong";
    EXPECT_EQ(CONSOLE_RING_SIZE, flood.most_lines) << "most lines the ring held at once";
    EXPECT_TRUE(flood.marker_newest) << "after the flood, a new line \"" << flood.marker
                                     << "\" was expected as the newest, got \"" << newest_line() << "\"";
}

}  // namespace
