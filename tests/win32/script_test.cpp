// Script recording and playback through the real event wait, the real menu commands and
// the real "KORVA.SCR" in the test's working directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korva/core/menu.h"
#include "korva/core/wait.h"
#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

using Lines = std::vector<std::string>;

class Script : public ::testing::Test {
protected:
    void SetUp() override {
        // Ticks come only from the test's own WM_TIMER messages.
        open_korva_without_ticks();
        reset_wait_state();
        remove_script_file();
        clear_console();
    }

    void TearDown() override {
        korva_state.recording = 0;
        close_script();
        remove_script_file();
    }

    static void remove_script_file() {
        DeleteFileA(SCRIPT_FILE_NAME);
        RemoveDirectoryA(SCRIPT_FILE_NAME);
    }

    static bool script_file_exists() {
        return GetFileAttributesA(SCRIPT_FILE_NAME) != INVALID_FILE_ATTRIBUTES;
    }

    static void write_script(const std::string& bytes) { write_file(SCRIPT_FILE_NAME, bytes); }

    static bool checked(int32_t id) {
        return (GetMenuState(korva_state.run_menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    // A wait that returns one periodic event.
    static int32_t periodic_wait() {
        EventRecord e;
        return ::periodic_wait(&e);
    }

    // A wait that returns a left click at window pixel (px, py).
    static int32_t click_wait(int px, int py, EventRecord* out) {
        post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px, py));
        return await_event(out);
    }

    // The wait was ended by the sentinel click, not by a played event.
    static ::testing::AssertionResult is_sentinel(int32_t kind, const EventRecord& e) {
        int32_t x = SENTINEL_PX - korva_state.origin_x;
        int32_t y = korva_state.origin_y - SENTINEL_PY;
        if (kind == KORVA_MOUSE && e.x == x && e.y == y) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected no played event (the sentinel click at " << x << ", "
                                             << y << "), got kind " << kind << " at " << e.x << ", " << e.y;
    }
};

TEST_F(Script, RecordsARunOfPeriodicEventsAsOneLineBeforeTheNextEvent) {
    command(CMD_RECORD);
    EXPECT_EQ(1, korva_state.recording);
    EXPECT_TRUE(checked(CMD_RECORD));
    for (int i = 0; i < 5; ++i) ASSERT_EQ(KORVA_PERIODIC, periodic_wait()) << "periodic wait " << i;
    // A run is written only when it ends.
    EXPECT_EQ("", read_file(SCRIPT_FILE_NAME));

    EventRecord e;
    ASSERT_EQ(KORVA_MOUSE, click_wait(40, 300, &e));
    std::string expected = "KORVA_PERIODIC(5);\r\nKORVA_MOUSE(" + std::to_string(e.x) + ", " +
                           std::to_string(e.y) + ");\r\n";
    // Already in the file while it is still open: each line is flushed as it is written.
    EXPECT_EQ(expected, read_file(SCRIPT_FILE_NAME));
    EXPECT_EQ(0, korva_state.periodic_count);

    command(CMD_RECORD);
    EXPECT_EQ(0, korva_state.recording);
    EXPECT_FALSE(checked(CMD_RECORD));
    EXPECT_EQ(nullptr, korva_state.script_file);
    EXPECT_EQ(expected, read_file(SCRIPT_FILE_NAME));
}

TEST_F(Script, StoppingWritesThePendingRunAndCloses) {
    command(CMD_RECORD);
    EventRecord e;
    ASSERT_EQ(KORVA_MOUSE, click_wait(300, 270, &e));  // opens the file
    for (int i = 0; i < 3; ++i) ASSERT_EQ(KORVA_PERIODIC, periodic_wait());
    EXPECT_EQ(3, korva_state.periodic_count);

    command(CMD_RECORD);
    EXPECT_EQ(0, korva_state.periodic_count);
    EXPECT_EQ(nullptr, korva_state.script_file);
    EXPECT_EQ("KORVA_MOUSE(" + std::to_string(e.x) + ", " + std::to_string(e.y) +
                  ");\r\nKORVA_PERIODIC(3);\r\n",
              read_file(SCRIPT_FILE_NAME));
}

TEST_F(Script, FileIsCreatedByTheFirstRecordedEventOfAnyKind) {
    command(CMD_RECORD);
    command(CMD_RECORD);
    EXPECT_FALSE(script_file_exists()) << "on and off with no event in between";

    command(CMD_RECORD);
    post(WM_COMMAND, CMD_BLAZRACK_ENTERS);
    EventRecord e;
    ASSERT_EQ(KORVA_ENTER, await_event(&e));
    EXPECT_TRUE(script_file_exists());
    command(CMD_RECORD);
    EXPECT_TRUE(script_file_exists());
    EXPECT_EQ("", read_file(SCRIPT_FILE_NAME));
}

TEST_F(Script, EachKindWritesItsLine) {
    const struct {
        int32_t kind;
        int32_t x, y;
        char key;
        int32_t pending;
        const char* line;
    } cases[] = {
        {KORVA_MOUSE, -300, -270, 0, 0, "KORVA_MOUSE(-300, -270);\r\n"},
        {KORVA_KBD, 0, 0, -3, 0, "KORVA_KBD(-3);\r\n"},
        {KORVA_KBD, 0, 0, static_cast<char>(200), 0, "KORVA_KBD(-56);\r\n"},
        {KORVA_PERIODIC, 9, 9, 0, 7, "KORVA_PERIODIC(7);\r\n"},
        {KORVA_ENTER, 1, 2, 0, 0, ""},
        {KORVA_LEAVE, 1, 2, 0, 0, ""},
        {KORVA_EXIT, 1, 2, 0, 0, ""},
    };
    for (const auto& c : cases) {
        EventRecord e{};
        e.x = c.x;
        e.y = c.y;
        e.key = c.key;
        korva_state.periodic_count = c.pending;
        record_event(c.kind, e);
        close_script();
        EXPECT_EQ(c.line, read_file(SCRIPT_FILE_NAME)) << "kind " << c.kind;
    }
}

TEST_F(Script, ASecondRecordingStartsAnEmptyFile) {
    EventRecord first, second;
    command(CMD_RECORD);
    ASSERT_EQ(KORVA_MOUSE, click_wait(10, 20, &first));
    command(CMD_RECORD);
    command(CMD_RECORD);
    ASSERT_EQ(KORVA_MOUSE, click_wait(500, 400, &second));
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_MOUSE(" + std::to_string(second.x) + ", " + std::to_string(second.y) + ");\r\n",
              read_file(SCRIPT_FILE_NAME));
}

TEST_F(Script, AFileThatCannotBeWrittenIsReportedAtEveryEvent) {
    ASSERT_TRUE(CreateDirectoryA(SCRIPT_FILE_NAME, nullptr));
    command(CMD_RECORD);
    EventRecord e;
    ASSERT_EQ(KORVA_MOUSE, click_wait(10, 20, &e));
    ASSERT_EQ(KORVA_MOUSE, click_wait(10, 20, &e));
    EXPECT_EQ(1, korva_state.recording);
    EXPECT_EQ(nullptr, korva_state.script_file);
    const std::string message = "Cannot open script file KORVA.SCR for writing\n";
    EXPECT_EQ(Lines({message, message}), console_lines());
}

// The same script with each line end the player must accept.
TEST_F(Script, PlaysAScriptLineByLine) {
    const char* const line_ends[] = {"\n", "\r\n"};
    for (const char* end : line_ends) {
        SCOPED_TRACE(end[0] == '\r' ? "CRLF" : "LF");
        SetUp();
        std::string n = end;
        write_script("KORVA_MOUSE(-12, -34);" + n + n + "KORVA_KBD(-3);" + n + "KORVA_PERIODIC(3);" + n + n + n +
                     "KORVA_END();" + n + "KORVA_MOUSE(5, 6);" + n + "KORVA_KBD(65);");
        korva_state.animating = 1;
        command(CMD_PLAYBACK);
        EXPECT_EQ(1, korva_state.playing_back);
        EXPECT_EQ(0, korva_state.animating);
        EXPECT_TRUE(checked(CMD_PLAYBACK));

        EventRecord e;
        ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
        EXPECT_EQ(-12, e.x);
        EXPECT_EQ(-34, e.y);
        EXPECT_EQ(korva_state.entry_direction, e.region);

        ASSERT_EQ(KORVA_KBD, playback_wait(&e)) << "the empty line is skipped";
        EXPECT_EQ(-3, e.key);
        EXPECT_EQ(0, e.x);

        ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e));
        long after_periodic_line = ftell(korva_state.script_file);
        ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e));
        ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e));
        EXPECT_EQ(after_periodic_line, ftell(korva_state.script_file)) << "the run is played without reading";
        EXPECT_EQ(0, korva_state.periodic_count);

        // "KORVA_END();" is not a script line: playback ends silently, the file stays open.
        ASSERT_TRUE(is_sentinel(playback_wait(&e), e));
        EXPECT_EQ(0, korva_state.playing_back);
        EXPECT_FALSE(checked(CMD_PLAYBACK));
        EXPECT_NE(nullptr, korva_state.script_file);
        EXPECT_EQ(Lines{}, console_lines());

        command(CMD_PLAYBACK);
        ASSERT_EQ(KORVA_MOUSE, playback_wait(&e)) << "the next playback goes on after that line";
        EXPECT_EQ(5, e.x);
        EXPECT_EQ(6, e.y);

        // The last line has no line end: it is reported as the end and not played.
        ASSERT_TRUE(is_sentinel(playback_wait(&e), e));
        EXPECT_EQ(0, korva_state.playing_back);
        EXPECT_FALSE(checked(CMD_PLAYBACK));
        const std::string eof = "EOF encountered in script file KORVA.SCR\n";
        EXPECT_EQ(Lines{eof}, console_lines());

        // At its end the file stays open, and every later request reports the end at once.
        command(CMD_PLAY_ONE);
        ASSERT_TRUE(is_sentinel(playback_wait(&e), e));
        EXPECT_EQ(Lines({eof, eof}), console_lines());
        close_script();
    }
}

TEST_F(Script, BadLinesArePlayedSafely) {
    // A line longer than 511 characters is read in pieces; the second piece is a line of its own.
    std::string long_line = "KORVA_MOUSE(1, 2";
    long_line.resize(511, ' ');
    long_line += "xxxxxxK(9);\n";
    write_script(long_line + "KORVA_MOUSE(99999999999999, -99999999999);\n" +
                 std::string("KORVA_MOUSE(4\0, 5);\n", 20) + "KORVA_K\xff\xfe-5);\n" + "KORVA_M();\n" +
                 "KORVA_PERIODIC();\n" + "KORVA_MOUSE(1, 1);\n");
    const struct {
        int32_t kind, x, y;
        char key;
    } expected[] = {
        {KORVA_MOUSE, 1, 2, 0},
        {KORVA_KBD, 0, 0, 9},
        {KORVA_MOUSE, INT32_MAX, INT32_MIN, 0},
        {KORVA_MOUSE, 4, 0, 0},
        {KORVA_KBD, 0, 0, -5},
        {KORVA_MOUSE, 0, 0, 0},
        {KORVA_PERIODIC, 0, 0, 0},
    };
    command(CMD_PLAYBACK);
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i) {
        EventRecord e;
        int32_t kind = playback_wait(&e);
        EXPECT_EQ(expected[i].kind, kind) << "event " << i;
        EXPECT_EQ(expected[i].x, e.x) << "event " << i;
        EXPECT_EQ(expected[i].y, e.y) << "event " << i;
        EXPECT_EQ(expected[i].key, e.key) << "event " << i;
    }
    // "KORVA_PERIODIC();" counts 0: one event and nothing pending.
    EXPECT_EQ(-1, korva_state.periodic_count);
    EventRecord e;
    EXPECT_EQ(KORVA_MOUSE, playback_wait(&e));
    EXPECT_EQ(1, e.x);
}

TEST_F(Script, AMissingFileIsReportedAndPlaybackEnds) {
    command(CMD_PLAYBACK);
    EventRecord e;
    ASSERT_TRUE(is_sentinel(playback_wait(&e), e));
    EXPECT_EQ(Lines{"Cannot open script file KORVA.SCR for reading\n"}, console_lines());
    EXPECT_EQ(0, korva_state.playing_back);
    EXPECT_FALSE(checked(CMD_PLAYBACK));
    EXPECT_EQ(nullptr, korva_state.script_file);
}

TEST_F(Script, PlayOneGivesOneEventPerCommand) {
    write_script("KORVA_PERIODIC(2);\nKORVA_MOUSE(1, 2);\n");
    korva_state.animating = 1;
    korva_state.single_step = 1;
    command(CMD_PLAY_ONE);
    EXPECT_EQ(1, korva_state.play_one);
    EXPECT_EQ(0, korva_state.animating);
    EXPECT_EQ(0, korva_state.single_step);
    EXPECT_FALSE(checked(CMD_PLAYBACK));

    EventRecord e;
    ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e));
    EXPECT_EQ(0, korva_state.play_one);
    ASSERT_TRUE(is_sentinel(playback_wait(&e), e)) << "no command, no script event";

    command(CMD_PLAY_ONE);
    ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e)) << "the rest of the run";
    command(CMD_PLAY_ONE);
    ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
    EXPECT_EQ(1, e.x);
    EXPECT_EQ(2, e.y);
}

TEST_F(Script, StoppingPlaybackMidRunKeepsTheRestForTheNextPlayback) {
    write_script("KORVA_PERIODIC(3);\nKORVA_MOUSE(1, 2);\n");
    command(CMD_PLAYBACK);
    EventRecord e;
    ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e));
    command(CMD_PLAYBACK);
    EXPECT_EQ(nullptr, korva_state.script_file);
    EXPECT_EQ(2, korva_state.periodic_count);

    command(CMD_PLAYBACK);
    ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e));
    ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e));
    ASSERT_EQ(KORVA_PERIODIC, playback_wait(&e)) << "the reopened file from its first line";
    EXPECT_EQ(2, korva_state.periodic_count);
}

TEST_F(Script, PlaybackIsRefusedWhileRecording) {
    command(CMD_RECORD);
    korva_state.animating = 1;
    command(CMD_PLAYBACK);
    command(CMD_PLAY_ONE);
    const std::string refused = "Cannot play script file KORVA.SCR while recording it\n";
    EXPECT_EQ(Lines({refused, refused}), console_lines());
    EXPECT_EQ(0, korva_state.playing_back);
    EXPECT_EQ(0, korva_state.play_one);
    EXPECT_EQ(1, korva_state.animating) << "a refused command changes nothing";
    EXPECT_FALSE(checked(CMD_PLAYBACK));

    korva_state.animating = 0;
    EventRecord e;
    ASSERT_EQ(KORVA_MOUSE, click_wait(10, 20, &e));
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_MOUSE(" + std::to_string(e.x) + ", " + std::to_string(e.y) + ");\r\n",
              read_file(SCRIPT_FILE_NAME));
}

// Continuous playback started on a reader already at the end of the file reports the end in
// its first wait and stops, instead of waiting or starting the file again.
TEST_F(Script, PlaybackAfterTheEndOfTheFileReportsTheEndAtOnce) {
    write_script("KORVA_MOUSE(1, 2);\n");
    command(CMD_PLAY_ONE);
    EventRecord e;
    ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
    clear_console();

    command(CMD_PLAYBACK);
    ASSERT_TRUE(is_sentinel(playback_wait(&e), e));
    EXPECT_EQ(Lines{"EOF encountered in script file KORVA.SCR\n"}, console_lines());
    EXPECT_EQ(0, korva_state.playing_back);
    EXPECT_FALSE(checked(CMD_PLAYBACK));
}

// A hero leaving is an event like any other for the recorder: the run of periodic events
// before it is written first (the leave itself has no line).
TEST_F(Script, ALeaveWritesThePendingRunOfPeriodicEvents) {
    command(CMD_RECORD);
    for (int i = 0; i < 2; ++i) ASSERT_EQ(KORVA_PERIODIC, periodic_wait()) << "periodic wait " << i;
    EXPECT_EQ("", read_file(SCRIPT_FILE_NAME));
    post(WM_COMMAND, CMD_BESOURU_LEAVES);
    EventRecord e;
    ASSERT_EQ(KORVA_LEAVE, await_event(&e));
    EXPECT_EQ("KORVA_PERIODIC(2);\r\n", read_file(SCRIPT_FILE_NAME));
    EXPECT_EQ(0, korva_state.periodic_count);
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_PERIODIC(2);\r\n", read_file(SCRIPT_FILE_NAME));
}

// Only a playback that is running, or a Play One still to come, is reported as stopped; a
// reader left idle after Play One, with or without a count, is put away silently.
TEST_F(Script, RecordingEndsPlaybackAndDropsItsPendingRun) {
    const std::string stopped = "Playback of script file KORVA.SCR stopped for recording\n";
    const struct {
        const char* name;
        int32_t start_command;
        bool play_first;  // one event is played before recording starts
        const char* script;
        Lines expected;
    } cases[] = {
        {"continuous playback", CMD_PLAYBACK, true, "KORVA_PERIODIC(4);\nKORVA_MOUSE(1, 2);\n", {stopped}},
        {"play one, idle with a count left", CMD_PLAY_ONE, true, "KORVA_PERIODIC(4);\nKORVA_MOUSE(1, 2);\n", {}},
        {"play one, idle at the end of the file", CMD_PLAY_ONE, true, "KORVA_MOUSE(1, 2);\n", {}},
        {"play one still to come", CMD_PLAY_ONE, false, "KORVA_PERIODIC(4);\n", {stopped}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        write_script(c.script);
        command(c.start_command);
        EventRecord e;
        if (c.play_first) {
            ASSERT_NE(KORVA_NONE, playback_wait(&e));
        }

        command(CMD_RECORD);
        EXPECT_EQ(c.expected, console_lines());
        EXPECT_EQ(1, korva_state.recording);
        EXPECT_EQ(0, korva_state.playing_back);
        EXPECT_EQ(0, korva_state.play_one);
        EXPECT_FALSE(checked(CMD_PLAYBACK));
        EXPECT_EQ(0, korva_state.periodic_count);
        EXPECT_EQ(nullptr, korva_state.script_file) << "the reader is closed";

        ASSERT_EQ(KORVA_MOUSE, click_wait(10, 20, &e));
        command(CMD_RECORD);
        EXPECT_EQ("KORVA_MOUSE(" + std::to_string(e.x) + ", " + std::to_string(e.y) + ");\r\n",
                  read_file(SCRIPT_FILE_NAME));
    }
}

}  // namespace
