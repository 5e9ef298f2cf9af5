// Menu commands in the script file, through the real menu, shortcuts, event wait and
// "KORVA.SCR": which commands are written and in what order, the opt-in that asks for them,
// how the player runs them, and a recorded run with heroes played back to the same events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "korva/core/wait.h"
#include "korva/extras/replay.h"
#include "korva/extras/script_commands.h"
#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

using Lines = std::vector<std::string>;

// What the program sees of one event: its kind, place, hero and region (the key is not looked at).
using Seen = SeenEvent;

Seen seen_of(int32_t kind, const EventRecord& e) {
    return Seen{kind, e.x, e.y, 0, e.hero.id, e.region};
}

std::string command_line(int32_t id) {
    return "KORVA_COMMAND(" + std::to_string(id) + ");\r\n";
}

class ScriptCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // Ticks come only from the test's own WM_TIMER messages.
        open_korva_without_ticks();
        reset_wait_state();
        korva_state.logging = 1;
        clear_console();
        set_opt_in("1");
    }

    void TearDown() override {
        korva_state.recording = 0;
        close_script();
        DeleteFileA(SCRIPT_FILE_NAME);
        set_opt_in(nullptr);
    }

    // The choice is read where KORVA_open reads it; no replay is named, so nothing else starts.
    static void set_opt_in(const char* value) {
        SetEnvironmentVariableA(REPLAY_SCRIPT_VARIABLE, nullptr);
        SetEnvironmentVariableA(RECORD_COMMANDS_VARIABLE, value);
        read_environment_choices();
    }

    static void write_script(const std::string& bytes) { write_file(SCRIPT_FILE_NAME, bytes); }

    static Seen wait() {
        EventRecord e;
        int32_t kind = await_event(&e);
        return seen_of(kind, e);
    }

    // A wait that returns one periodic event.
    static Seen periodic_wait() {
        EventRecord e;
        int32_t kind = ::periodic_wait(&e);
        return seen_of(kind, e);
    }

    // A wait with the given messages queued first; what is left of them afterwards is dropped.
    static Seen wait_after(const std::vector<MSG>& messages) {
        for (const MSG& m : messages) post(m.message, m.wParam, m.lParam);
        Seen seen = wait();
        drain_messages();
        return seen;
    }

    // A wait while playback is asked for (see ::playback_wait).
    static Seen playback_wait(bool* quit_left = nullptr) {
        EventRecord e;
        int32_t kind = ::playback_wait(&e, quit_left);
        return seen_of(kind, e);
    }

    static Seen sentinel() {
        return Seen{KORVA_MOUSE, SENTINEL_PX - korva_state.origin_x, korva_state.origin_y - SENTINEL_PY, 0,
                    korva_state.event.hero.id, korva_state.entry_direction};
    }
};

MSG message(UINT id, WPARAM w = 0, LPARAM l = 0) {
    MSG m{};
    m.message = id;
    m.wParam = w;
    m.lParam = l;
    return m;
}
MSG menu(int32_t id) { return message(WM_COMMAND, static_cast<WPARAM>(id)); }
MSG click(int px, int py) { return message(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px, py)); }

constexpr int32_t BESOURU = HERO_BESOURU_ID;
constexpr int32_t BLAZRACK = HERO_BLAZRACK_ID;

TEST_F(ScriptCommands, TheOptInIsReadFromTheEnvironment) {
    const struct {
        const char* value;
        uint8_t expected;
        const char* message;  // null: none
    } cases[] = {
        {"1", 1, nullptr},
        {nullptr, 0, nullptr},
        {"", 0, nullptr},
        {"0", 0, nullptr},
        {"yes", 0, "KORVA_RECORD_COMMANDS must be 0 or 1; menu commands are not recorded\n"},
        {"11", 0, "KORVA_RECORD_COMMANDS must be 0 or 1; menu commands are not recorded\n"},
    };
    for (const auto& c : cases) {
        const char* name = c.value ? c.value : "unset";
        korva_state.replay.script_commands = static_cast<uint8_t>(1 - c.expected);
        clear_console();
        set_opt_in(c.value);
        EXPECT_EQ(c.expected, korva_state.replay.script_commands) << name;
        EXPECT_EQ(0, korva_state.replay.active) << name;
        EXPECT_EQ(c.message ? Lines{c.message} : Lines{}, console_lines()) << name;
    }
}

// Each command that changes what the program sees gets its line; the commands that steer the
// script itself and ids without an item get none (so no file is even opened for them).
TEST_F(ScriptCommands, RecordsTheCommandsThatChangeWhatTheProgramSees) {
    const int32_t written[] = {CMD_ANIMATE,         CMD_HALT,           CMD_ADVANCE_FRAME,   CMD_LOGGING,
                               CMD_QUIT,            CMD_CONTROL_BESOURU, CMD_CONTROL_BLAZRACK, CMD_CONTROL_MUSHI,
                               CMD_BESOURU_ENTERS,  CMD_BLAZRACK_ENTERS, CMD_MUSHI_ENTERS,    CMD_BESOURU_LEAVES,
                               CMD_BLAZRACK_LEAVES, CMD_MUSHI_LEAVES,   CMD_FROM_NORTH,      CMD_FROM_SOUTH,
                               CMD_FROM_EAST,       CMD_FROM_WEST};
    const int32_t not_written[] = {CMD_PLAYBACK, CMD_PLAY_ONE, 9, 0, 23, -1};
    for (int32_t id : written) {
        SetUp();
        command(CMD_RECORD);
        command(id);
        command(CMD_RECORD);
        EXPECT_EQ(command_line(id), read_file(SCRIPT_FILE_NAME)) << "command " << id;
        EXPECT_TRUE(is_script_command(id)) << id;
    }
    for (int32_t id : not_written) {
        SetUp();
        command(CMD_RECORD);
        command(id);
        command(CMD_RECORD);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SCRIPT_FILE_NAME)) << "command " << id;
        EXPECT_FALSE(is_script_command(id)) << id;
    }
    EXPECT_FALSE(is_script_command(CMD_RECORD));
    drain_messages();  // the recorded Quit's message
}

// The order of a run is kept: periodic events that came before a command are written before
// it, and a command comes before the event of the wait it ran in. Shortcuts are recorded as
// the commands they are. Without the opt-in the same run writes the file as it always has.
TEST_F(ScriptCommands, RecordsCommandsInTheOrderOfTheRun) {
    for (const char* opt_in : {"1", "0"}) {
        SetUp();
        set_opt_in(opt_in);
        command(CMD_RECORD);
        ASSERT_EQ(KORVA_PERIODIC, periodic_wait().kind);
        ASSERT_EQ(KORVA_PERIODIC, periodic_wait().kind);
        ASSERT_EQ(KORVA_ENTER, wait_after({menu(CMD_FROM_WEST), menu(CMD_BESOURU_ENTERS)}).kind);
        Seen moved = wait_after({menu(CMD_CONTROL_BESOURU), click(200, 100)});
        ASSERT_EQ(KORVA_MOUSE, moved.kind);
        EXPECT_EQ(BESOURU, moved.hero);
        ASSERT_EQ(KORVA_PERIODIC, periodic_wait().kind);
        // Ctrl+L, then Besouru leaves by the menu.
        ASSERT_EQ(KORVA_LEAVE, wait_after({message(WM_KEYDOWN, VK_CONTROL), message(WM_KEYDOWN, 'L'),
                                           message(WM_KEYUP, VK_CONTROL), menu(CMD_BESOURU_LEAVES)})
                                   .kind);
        command(CMD_RECORD);

        std::string mouse = "KORVA_MOUSE(" + std::to_string(moved.x) + ", " + std::to_string(moved.y) + ");\r\n";
        std::string expected = opt_in[0] == '1'
                                   ? "KORVA_PERIODIC(2);\r\n" + command_line(CMD_FROM_WEST) +
                                         command_line(CMD_BESOURU_ENTERS) + command_line(CMD_CONTROL_BESOURU) +
                                         mouse + "KORVA_PERIODIC(1);\r\n" + command_line(CMD_LOGGING) +
                                         command_line(CMD_BESOURU_LEAVES)
                                   : "KORVA_PERIODIC(2);\r\n" + mouse + "KORVA_PERIODIC(1);\r\n";
        EXPECT_EQ(expected, read_file(SCRIPT_FILE_NAME)) << "KORVA_RECORD_COMMANDS=" << opt_in;
    }
}

// Commands run as the menu runs them: Enters and Leaves are the request's event, Quit is EXIT
// once (its quit message is not left for a later wait), and the others change the library's
// state and let the next line be this request's event.
TEST_F(ScriptCommands, PlaysCommandsAsTheMenuRunsThem) {
    write_script(command_line(CMD_FROM_EAST) + command_line(CMD_BLAZRACK_ENTERS) + "\r\n" +
                 command_line(CMD_CONTROL_BLAZRACK) + "KORVA_MOUSE(5, 6);\r\n" + command_line(CMD_LOGGING) +
                 command_line(CMD_ANIMATE) + "KORVA_PERIODIC(1);\r\n" + command_line(CMD_BLAZRACK_LEAVES) +
                 command_line(CMD_QUIT) + "KORVA_KBD(65);\r\n");
    command(CMD_PLAYBACK);
    const LibraryState& s = korva_state;
    std::vector<Seen> seen;
    bool quit_left = false;
    seen.push_back(playback_wait());
    UINT control_item = GetMenuState(s.run_menu, CMD_CONTROL_BLAZRACK, MF_BYCOMMAND);
    EXPECT_EQ(0u, control_item & MF_GRAYED) << "entering enables the Control item";
    seen.push_back(playback_wait());
    EXPECT_EQ(1, s.control_blazrack);
    seen.push_back(playback_wait());
    EXPECT_EQ(0, s.logging);
    EXPECT_EQ(1, s.animating);
    seen.push_back(playback_wait());
    EXPECT_EQ(0, s.control_blazrack) << "leaving clears control";
    seen.push_back(playback_wait(&quit_left));
    EXPECT_FALSE(quit_left) << "the played Quit left its quit message for a later wait";
    seen.push_back(playback_wait());

    std::vector<Seen> expected{{KORVA_ENTER, 0, 0, 0, BLAZRACK, EAST},   {KORVA_MOUSE, 5, 6, 0, BLAZRACK, EAST},
                               {KORVA_PERIODIC, 0, 0, 0, BLAZRACK, EAST}, {KORVA_LEAVE, 0, 0, 0, BLAZRACK, EAST},
                               {KORVA_EXIT, 0, 0, 0, HERO_NOBODY_ID, EAST}, {KORVA_KBD, 0, 0, 0, HERO_NOBODY_ID, EAST}};
    EXPECT_TRUE(same(expected, seen)) << describe(seen);
    EXPECT_EQ(EAST, s.entry_direction);
    EXPECT_EQ(1, s.playing_back);
    EXPECT_EQ(Lines{}, console_lines());
}

// Without the opt-in a command line is what it always was: not a script line, so playback
// ends there without a message and the next playback goes on after it.
TEST_F(ScriptCommands, WithoutTheOptInACommandLineEndsPlayback) {
    set_opt_in(nullptr);
    write_script("KORVA_MOUSE(1, 2);\r\n" + command_line(CMD_BESOURU_ENTERS) + "KORVA_MOUSE(3, 4);\r\n");
    command(CMD_PLAYBACK);
    Seen first = playback_wait();
    EXPECT_EQ(KORVA_MOUSE, first.kind);
    EXPECT_EQ(1, first.x);
    Seen ended = playback_wait();
    EXPECT_TRUE(same({sentinel()}, {ended})) << describe({ended});
    EXPECT_EQ(0, korva_state.playing_back);
    EXPECT_EQ(Lines{}, console_lines());
    command(CMD_PLAYBACK);
    Seen next = playback_wait();
    EXPECT_EQ(KORVA_MOUSE, next.kind);
    EXPECT_EQ(3, next.x);
}

// A line naming a command a script may not hold ends playback there with a message, runs
// nothing (recording does not start, playback is not toggled), and the next playback goes on
// after it.
TEST_F(ScriptCommands, CommandsThatCannotBePlayedEndPlayback) {
    const int32_t refused[] = {CMD_RECORD, CMD_PLAYBACK, CMD_PLAY_ONE, 9, 0, 23, -13, INT32_MAX};
    for (int32_t id : refused) {
        SetUp();
        write_script(command_line(id) + "KORVA_MOUSE(3, 4);\r\n");
        command(CMD_PLAYBACK);
        Seen ended = playback_wait();
        EXPECT_TRUE(same({sentinel()}, {ended})) << id << ": " << describe({ended});
        EXPECT_EQ(0, korva_state.playing_back) << id;
        EXPECT_EQ(0, korva_state.recording) << id;
        EXPECT_EQ(Lines{"Script file KORVA.SCR: command " + std::to_string(id) + " cannot be played\n"},
                  console_lines());
        command(CMD_PLAYBACK);
        Seen next = playback_wait();
        EXPECT_EQ(KORVA_MOUSE, next.kind) << id;
        EXPECT_EQ(3, next.x) << id;
    }
}

// A run with heroes, recorded with the opt-in and played back: the program sees the same events.
TEST_F(ScriptCommands, ARecordedRunPlaysBackToTheSameEvents) {
    command(CMD_RECORD);
    std::vector<Seen> live;
    live.push_back(wait_after({menu(CMD_FROM_SOUTH), menu(CMD_MUSHI_ENTERS)}));
    live.push_back(wait_after({menu(CMD_CONTROL_MUSHI), click(100, 50)}));
    live.push_back(periodic_wait());
    live.push_back(periodic_wait());
    live.push_back(wait_after({menu(CMD_FROM_NORTH), menu(CMD_BESOURU_ENTERS)}));
    live.push_back(wait_after({menu(CMD_CONTROL_BESOURU), click(400, 300)}));
    // Releasing Besouru: the click of the same wait still carries him, the next one nobody.
    live.push_back(wait_after({menu(CMD_CONTROL_BESOURU), click(10, 10)}));
    live.push_back(wait_after({click(20, 20)}));
    live.push_back(wait_after({menu(CMD_MUSHI_LEAVES)}));
    live.push_back(wait_after({message(WM_KEYDOWN, VK_CONTROL), message(WM_KEYDOWN, 'Q')}));
    command(CMD_RECORD);
    ASSERT_EQ(KORVA_EXIT, live.back().kind);

    std::string script = read_file(SCRIPT_FILE_NAME);
    SetUp();
    write_script(script);
    command(CMD_PLAYBACK);
    std::vector<Seen> played;
    for (size_t i = 0; i < live.size(); ++i) played.push_back(playback_wait());
    EXPECT_TRUE(same(live, played)) << "live:   " << describe(live) << "\nplayed: " << describe(played)
                                    << "\nscript:\n"
                                    << script;
}

}  // namespace
