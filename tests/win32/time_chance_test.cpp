// Time and chance through a real recording and its playback: each turn's times and random
// numbers go into "KORVA.SCR" after the turn's event, a playback gives them back exactly, and a
// playback that finds no recorded value says so and goes on with the live one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korva/base/command_ids.h"
#include "korva/core/wait.h"
#include "korva/extras/performance_counter.h"
#include "korva/script/script.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

// What the program was given in one turn.
struct Turn {
    int32_t kind;
    int32_t time;
    int32_t time_again;
    int32_t numbers[3];
    int32_t clock;
};

bool operator==(const Turn& a, const Turn& b) {
    return a.kind == b.kind && a.time == b.time && a.time_again == b.time_again && a.numbers[0] == b.numbers[0] &&
           a.numbers[1] == b.numbers[1] && a.numbers[2] == b.numbers[2] && a.clock == b.clock;
}

std::ostream& operator<<(std::ostream& out, const Turn& t) {
    return out << "{kind " << t.kind << ", time " << t.time << "/" << t.time_again << ", numbers " << t.numbers[0]
               << " " << t.numbers[1] << " " << t.numbers[2] << ", clock " << t.clock << "}";
}

Turn take_turn(int32_t kind) {
    Turn t{};
    t.kind = kind;
    t.time = KORVA_time();
    t.time_again = KORVA_time();
    for (int32_t& n : t.numbers) n = KORVA_random(1, 1000000);
    t.clock = KORVA_clock();
    return t;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    // The file is written in text mode: each line ends in CR LF on this platform.
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start - (end > start && text[end - 1] == '\r' ? 1 : 0)));
    return lines;
}

class TimeChance : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_without_ticks();
        reset_wait_state();
        DeleteFileA(SCRIPT_FILE_NAME);
        clear_console();
    }
    void TearDown() override {
        korva_state.recording = 0;
        close_script();
        DeleteFileA(SCRIPT_FILE_NAME);
    }

    // Three recorded turns (periodic, click, periodic), each a few milliseconds after the last.
    std::vector<Turn> record_three_turns() {
        // The program drew before the recording began: the file starts with the state it drew from.
        KORVA_random(1, 6);
        command(CMD_RECORD);
        std::vector<Turn> turns;
        EventRecord e;
        for (int32_t i = 0; i < 3; ++i) {
            Sleep(15);
            int32_t kind;
            if (i == 1) {
                post_click(10, 20);
                kind = await_event(&e);
            } else {
                kind = periodic_wait(&e);
            }
            turns.push_back(take_turn(kind));
        }
        command(CMD_RECORD);
        return turns;
    }
};

TEST_F(TimeChance, APlaybackGivesEachTurnTheRecordedTimesAndNumbers) {
    std::vector<Turn> recorded = record_three_turns();
    ASSERT_EQ(KORVA_PERIODIC, recorded[0].kind);
    ASSERT_EQ(KORVA_MOUSE, recorded[1].kind);
    for (const Turn& t : recorded) EXPECT_EQ(t.time, t.time_again) << "the turn's time holds until the next wait";
    EXPECT_LT(recorded[0].time, recorded[2].time);

    // The file: the state drawn from before the recording, then per turn its event, its time,
    // the generator's state before its first draw, and the clock's reading.
    std::vector<std::string> lines = lines_of(read_file(SCRIPT_FILE_NAME));
    ASSERT_EQ(13u, lines.size()) << read_file(SCRIPT_FILE_NAME);
    const char* const starts[] = {"KORVA_RANDOM(", "KORVA_PERIODIC(1);", "KORVA_NOW(", "KORVA_RANDOM(", "KORVA_NOW(",
                                  "KORVA_MOUSE(10, 20);", "KORVA_NOW(", "KORVA_RANDOM(", "KORVA_NOW(",
                                  "KORVA_PERIODIC(1);", "KORVA_NOW(", "KORVA_RANDOM(", "KORVA_NOW("};
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(0u, lines[i].find(starts[i])) << "line " << i << ": " << lines[i];
    EXPECT_EQ("KORVA_NOW(" + std::to_string(recorded[1].time) + ");", lines[6]);

    // Later, with the generator moved on and the clock gone further, the playback turns are the
    // recorded ones.
    for (int32_t i = 0; i < 50; ++i) KORVA_random(1, 6);
    Sleep(40);
    command(CMD_PLAYBACK);
    EventRecord e;
    for (const Turn& expected : recorded) {
        int32_t kind = playback_wait(&e);
        EXPECT_EQ(expected, take_turn(kind));
    }
    EXPECT_TRUE(console_lines().empty()) << console_lines()[0];
    // Live again once the script has ended: the clock is later than anything recorded.
    command(CMD_PLAYBACK);
    EXPECT_GT(KORVA_clock(), recorded[2].clock + 40);
}

TEST_F(TimeChance, APlaybackWithoutRecordedValuesSaysSoAndGoesOnLive) {
    // A recording made without time or chance: the playing program asks anyway.
    write_file(SCRIPT_FILE_NAME, "KORVA_MOUSE(1, 2);\nKORVA_MOUSE(3, 4);\n");
    command(CMD_PLAYBACK);
    EventRecord e;
    ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
    int32_t live = KORVA_clock();
    EXPECT_GE(live, 0);
    KORVA_random(1, 6);  // no state recorded: the generator goes on as it is
    std::vector<std::string> said = console_lines();
    ASSERT_EQ(1u, said.size());
    EXPECT_EQ(0u, said[0].find("Script file KORVA.SCR holds no time for this call; the clock's own time"));
    // The lines the values were looked for in are still played as events.
    ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
    EXPECT_EQ(3, e.x);
    EXPECT_EQ(4, e.y);
}

// The same recording, made before the program asked for time or chance, with its lines ending
// as a checkout may leave them: every event plays, in order, and the lack of times is said once.
TEST_F(TimeChance, ARecordingWithoutValuesPlaysWholeWhateverItsLineEnds) {
    const char* const lines[] = {"KORVA_MOUSE(1, 2);", "KORVA_PERIODIC(2);", "KORVA_KBD(65);", "KORVA_MOUSE(3, 4);",
                                 "KORVA_MOUSE(5, 6);"};
    const struct {
        const char* name;
        const char* ends[5];
    } styles[] = {{"line feeds", {"\n", "\n", "\n", "\n", "\n"}},
                  {"carriage returns and line feeds", {"\r\n", "\r\n", "\r\n", "\r\n", "\r\n"}},
                  {"both", {"\n", "\r\n", "\n\n", "\r\n", "\n"}}};
    for (const auto& style : styles) {
        SCOPED_TRACE(style.name);
        std::string text;
        for (int i = 0; i < 5; ++i) text += std::string(lines[i]) + style.ends[i];
        write_file(SCRIPT_FILE_NAME, text);
        clear_console();
        command(CMD_PLAYBACK);
        std::vector<std::pair<int32_t, int32_t>> played;
        EventRecord e;
        for (int i = 0; i < 6; ++i) {
            int32_t kind = playback_wait(&e);
            played.push_back({kind, kind == KORVA_KBD ? e.key : e.x});
            take_turn(kind);
        }
        const std::vector<std::pair<int32_t, int32_t>> expected = {
            {KORVA_MOUSE, 1}, {KORVA_PERIODIC, 0}, {KORVA_PERIODIC, 0}, {KORVA_KBD, 65}, {KORVA_MOUSE, 3}, {KORVA_MOUSE, 5}};
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].first, played[i].first) << "event " << i;
            if (expected[i].first != KORVA_PERIODIC) {
                EXPECT_EQ(expected[i].second, played[i].second) << "event " << i;
            }
        }
        std::vector<std::string> said = console_lines();
        ASSERT_EQ(1u, said.size()) << testing::PrintToString(said);
        EXPECT_EQ(0u, said[0].find("Script file KORVA.SCR holds no time for this call; the clock's own time"));
        command(CMD_PLAYBACK);
    }
}

// A time the recorder could never have written ends playback at its line, with a line that says
// so; the program is handed its own clock's time, never the damaged value.
TEST_F(TimeChance, ATimeNoRecordingHoldsEndsPlayback) {
    // `asks`: what the program does, '|' a wait for the next event, 'T' KORVA_time, 'C' KORVA_clock;
    // its last ask meets the damaged time.
    const struct {
        const char* name;
        const char* script;
        const char* asks;
        int32_t damaged;
    } cases[] = {
        {"negative", "KORVA_MOUSE(1, 2);\nKORVA_NOW(-5000);\nKORVA_MOUSE(3, 4);\n", "|T", -5000},
        {"the least 32-bit value", "KORVA_MOUSE(1, 2);\nKORVA_NOW(-2147483648);\nKORVA_MOUSE(3, 4);\n", "|C", INT32_MIN},
        {"an event before the last", "KORVA_MOUSE(1, 2);\nKORVA_NOW(500);\nKORVA_MOUSE(3, 4);\nKORVA_NOW(400);\n"
                                     "KORVA_MOUSE(5, 6);\n", "|T|T", 400},
        {"a reading before the event's time", "KORVA_MOUSE(1, 2);\nKORVA_NOW(500);\nKORVA_NOW(499);\n"
                                              "KORVA_MOUSE(3, 4);\n", "|TC", 499},
        {"a reading before an earlier one", "KORVA_MOUSE(1, 2);\nKORVA_NOW(500);\nKORVA_MOUSE(3, 4);\n"
                                            "KORVA_NOW(450);\n", "|C|C", 450},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_file(SCRIPT_FILE_NAME, c.script);
        clear_console();
        command(CMD_PLAYBACK);
        EventRecord e;
        int32_t given = 0;
        for (const char* ask = c.asks; *ask != '\0'; ++ask) {
            if (*ask == '|') {
                ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
            }
            if (*ask == 'T') given = KORVA_time();
            if (*ask == 'C') given = KORVA_clock();
        }
        EXPECT_NE(c.damaged, given);
        EXPECT_GE(given, 0);
        EXPECT_EQ(0, korva_state.playing_back) << "playback goes on past a damaged time";
        std::vector<std::string> said = console_lines();
        ASSERT_EQ(1u, said.size()) << testing::PrintToString(said);
        EXPECT_EQ("Script file KORVA.SCR holds the time " + std::to_string(c.damaged) +
                      ", which no recording holds here; playback ends\n",
                  said[0]);
        close_script();
    }
    // A reading taken in a turn before the event's own time is asked for is a time a recording
    // does hold: the clock runs on from the event's time.
    write_file(SCRIPT_FILE_NAME, "KORVA_MOUSE(1, 2);\nKORVA_NOW(105);\nKORVA_NOW(100);\nKORVA_MOUSE(3, 4);\n"
                                 "KORVA_NOW(140);\n");
    clear_console();
    command(CMD_PLAYBACK);
    EventRecord e;
    ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
    EXPECT_EQ(105, KORVA_clock());
    EXPECT_EQ(100, KORVA_time());
    ASSERT_EQ(KORVA_MOUSE, playback_wait(&e));
    EXPECT_EQ(140, KORVA_time());
    EXPECT_TRUE(console_lines().empty()) << console_lines()[0];
    command(CMD_PLAYBACK);
}

// After 24.8 days open (2^31 - 1 milliseconds) both clocks stay at their largest value rather
// than going negative; a day short of it they count as ever.
TEST_F(TimeChance, TheClockStopsAtItsLargestValueInsteadOfGoingNegative) {
    const int64_t opened = korva_state.clock.opened;
    const int64_t day = counter_frequency() * 86400;
    korva_state.clock.opened = counter_now() - 24 * day;
    const int32_t day_24 = KORVA_clock();
    EXPECT_GE(day_24, 24 * 86400 * 1000);
    EXPECT_LT(day_24, INT32_MAX);
    korva_state.clock.opened = counter_now() - 25 * day;
    EXPECT_EQ(INT32_MAX, KORVA_clock());
    EventRecord e;
    periodic_wait(&e);
    EXPECT_EQ(INT32_MAX, KORVA_time());
    korva_state.clock.opened = opened;
}

TEST_F(TimeChance, AProgramThatAsksForNeitherRecordsNoNewLines) {
    // As in a program that has never drawn (the other tests of this process have).
    korva_state.chance.used = 0;
    command(CMD_RECORD);
    EventRecord e;
    ASSERT_EQ(KORVA_PERIODIC, periodic_wait(&e));
    post_click(5, 6);
    ASSERT_EQ(KORVA_MOUSE, await_event(&e));
    command(CMD_RECORD);
    EXPECT_EQ("KORVA_PERIODIC(1);\r\nKORVA_MOUSE(5, 6);\r\n", read_file(SCRIPT_FILE_NAME));
}

TEST_F(TimeChance, ASeedMakesTheSameNumbers) {
    KORVA_seed_random(12345);
    int32_t first[5];
    for (int32_t& n : first) n = KORVA_random(-50, 50);
    KORVA_seed_random(12345);
    for (int32_t n : first) EXPECT_EQ(n, KORVA_random(50, -50));
}

}  // namespace
