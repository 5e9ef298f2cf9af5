// The replay harness's platform-free parts: its command line, how a program's end is sorted
// into exit codes, and the pixel comparison with its count, box and difference image.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "tools/replay/image_diff.h"
#include "tools/replay/replay_options.h"
#include "tools/replay/script_check.h"

namespace {

const char* parse(std::vector<const char*> args, ReplayOptions* out) {
    return parse_replay_options(static_cast<int>(args.size()), args.data(), out);
}

TEST(ReplayOptions, EveryOptionIsTaken) {
    ReplayOptions o;
    ASSERT_EQ(nullptr, parse({"--timeout", "7", "--canvas", "c.bmp", "--expect", "e.bmp", "--diff", "d.bmp",
                              "--tolerance", "12", "prog.exe", "s.scr"},
                             &o));
    EXPECT_STREQ("prog.exe", o.program);
    EXPECT_STREQ("s.scr", o.script);
    EXPECT_STREQ("c.bmp", o.canvas);
    EXPECT_STREQ("e.bmp", o.expect);
    EXPECT_STREQ("d.bmp", o.diff);
    EXPECT_EQ(7, o.timeout_s);
    EXPECT_EQ(12, o.tolerance);
    EXPECT_FALSE(o.update);
}

TEST(ReplayOptions, DefaultsAndOptionsAfterTheFiles) {
    ReplayOptions o;
    ASSERT_EQ(nullptr, parse({"prog.exe", "s.scr", "--update", "--expect", "e.bmp"}, &o));
    EXPECT_EQ(REPLAY_DEFAULT_TIMEOUT_S, o.timeout_s);
    EXPECT_EQ(0, o.tolerance);
    EXPECT_TRUE(o.update);
    EXPECT_EQ(nullptr, o.canvas);
    EXPECT_EQ(nullptr, o.diff);
}

TEST(ReplayOptions, HelpNeedsNoFiles) {
    ReplayOptions o;
    ASSERT_EQ(nullptr, parse({"--help"}, &o));
    EXPECT_TRUE(o.help);
    EXPECT_NE(nullptr, parse({"--bogus", "--help"}, &o)) << "options are read in order: the bad one first";
}

TEST(ReplayOptions, BadCommandLinesAreRefused) {
    const struct {
        std::vector<const char*> args;
        const char* reason_part;
    } cases[] = {
        {{}, "program and a script"},
        {{"prog.exe"}, "program and a script"},
        {{"a", "b", "c"}, "more than"},
        {{"--canvas"}, "file name"},
        {{"a", "b", "--expect", ""}, "file name"},
        {{"a", "b", "--timeout"}, "--timeout"},
        {{"a", "b", "--timeout", "0"}, "--timeout"},
        {{"a", "b", "--timeout", "86401"}, "--timeout"},
        {{"a", "b", "--timeout", "-5"}, "--timeout"},
        {{"a", "b", "--timeout", "5s"}, "--timeout"},
        {{"a", "b", "--timeout", "99999999999999999999"}, "--timeout"},
        {{"a", "b", "--tolerance", "x"}, "--tolerance"},
        {{"a", "b", "--tolerance", "2147483648"}, "--tolerance"},
        {{"a", "b", "--frobnicate"}, "unknown option"},
        {{"a", "b", "--update"}, "need --expect"},
        {{"a", "b", "--diff", "d.bmp"}, "need --expect"},
        {{"a", "b", "--tolerance", "3"}, "need --expect"},
    };
    for (const auto& c : cases) {
        ReplayOptions o;
        std::vector<const char*> args = c.args;
        const char* reason = parse(args, &o);
        std::string shown;
        for (const char* a : args) shown += std::string(" ") + a;
        ASSERT_NE(nullptr, reason) << "args:" << shown;
        EXPECT_NE(nullptr, strstr(reason, c.reason_part)) << "args:" << shown << " got \"" << reason << "\"";
    }
    ReplayOptions o;
    EXPECT_EQ(nullptr, parse({"a", "b", "--expect", "e", "--tolerance", "2147483647"}, &o));
    EXPECT_EQ(2147483647, o.tolerance);
}

TEST(ReplayEnd, EachWayOfEndingHasItsOwnCode) {
    const struct {
        bool timed_out;
        uint32_t exit_code;
        ReplayExit expected;
    } cases[] = {
        {false, 0, REPLAY_PASSED},
        {false, 3, REPLAY_PROGRAM_FAILED},
        {false, 0xBFFFFFFFu, REPLAY_PROGRAM_FAILED},
        {false, 0xC0000005u, REPLAY_CRASHED},   // access violation
        {false, 0xC00000FDu, REPLAY_CRASHED},   // stack overflow
        {false, 0xFFFFFFFFu, REPLAY_CRASHED},
        {true, 0, REPLAY_TIMED_OUT},
        {true, 0xC0000005u, REPLAY_TIMED_OUT},  // ended by the harness: the time-out is the story
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, classify_program_end(c.timed_out, c.exit_code))
            << "timed out " << c.timed_out << ", exit code " << c.exit_code;
    // Distinct codes, so a script can tell the endings apart.
    const ReplayExit all[] = {REPLAY_PASSED,  REPLAY_MISMATCH,  REPLAY_BAD_USE,  REPLAY_PROGRAM_FAILED,
                              REPLAY_CRASHED, REPLAY_TIMED_OUT, REPLAY_NO_CANVAS};
    for (size_t i = 0; i < 7; ++i)
        for (size_t j = i + 1; j < 7; ++j) EXPECT_NE(all[i], all[j]);
}

BmpImage white(int32_t width, int32_t height) {
    return BmpImage{width, height, std::vector<uint32_t>(static_cast<size_t>(width * height), 0xFFFFFF)};
}

TEST(ImageDiff, IdenticalImagesHaveNoDifference) {
    ImageDiff d = compare_images(white(5, 4), white(5, 4));
    EXPECT_EQ(0, d.differing);
    EXPECT_EQ(-1, d.left);
    EXPECT_EQ(-1, d.top);
    EXPECT_EQ(-1, d.right);
    EXPECT_EQ(-1, d.bottom);
}

TEST(ImageDiff, CountAndBoundingBox) {
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> changed;  // (x, y), y = 0 is the top row
        int64_t count;
        int32_t left, top, right, bottom;
    } cases[] = {
        {"one pixel", {{2, 1}}, 1, 2, 1, 2, 1},
        {"top-left corner", {{0, 0}}, 1, 0, 0, 0, 0},
        {"bottom-right corner", {{4, 3}}, 1, 4, 3, 4, 3},
        // The leftmost change lies in a later row than the first change.
        {"box from scattered pixels", {{3, 0}, {0, 2}, {4, 3}}, 3, 0, 0, 4, 3},
        {"one column", {{1, 0}, {1, 1}, {1, 2}, {1, 3}}, 4, 1, 0, 1, 3},
    };
    for (const auto& c : cases) {
        BmpImage actual = white(5, 4);
        for (auto [x, y] : c.changed) actual.pixels[static_cast<size_t>(y * 5 + x)] = 0x000000;
        ImageDiff d = compare_images(actual, white(5, 4));
        EXPECT_EQ(c.count, d.differing) << c.name;
        EXPECT_EQ(c.left, d.left) << c.name;
        EXPECT_EQ(c.top, d.top) << c.name;
        EXPECT_EQ(c.right, d.right) << c.name;
        EXPECT_EQ(c.bottom, d.bottom) << c.name;
    }
}

TEST(ImageDiff, OneChannelOffByOneCounts) {
    BmpImage actual = white(2, 1);
    actual.pixels[1] = 0xFFFEFF;
    EXPECT_EQ(1, compare_images(actual, white(2, 1)).differing);
}

TEST(ImageDiff, DifferenceImageMarksDifferingPixelsInRed) {
    BmpImage expected{3, 1, {0x000000, 0xFF0000, 0x0000FF}};
    BmpImage actual{3, 1, {0x000000, 0xFF0000, 0x00FF00}};
    BmpImage diff = make_diff_image(actual, expected);
    ASSERT_EQ(3, diff.width);
    ASSERT_EQ(1, diff.height);
    EXPECT_EQ(0xFF0000u, diff.pixels[2]) << "the differing pixel";
    EXPECT_EQ(0xC0C0C0u, diff.pixels[0]) << "black faded to a light gray";
    EXPECT_NE(0xFF0000u, diff.pixels[1]) << "an equal red pixel must not look like a mark";
}

}  // namespace

namespace {

TEST(ReplayOptions, AnUnknownOptionIsNamed) {
    ReplayOptions o;
    std::vector<const char*> args = {"a", "b", "--colour", "red"};
    EXPECT_STREQ("unknown option", parse(args, &o));
    EXPECT_STREQ("--colour", o.unknown);
    ASSERT_EQ(nullptr, parse({"a", "b"}, &o));
    EXPECT_EQ(nullptr, o.unknown);
}

// What the player would play of a file, read as it reads it.
TEST(ScriptCheck, AFileReplaysSomethingOnlyWhenItsFirstLineIsAScriptLine) {
    const struct {
        std::string bytes;
        bool plays;
        const char* why;
    } cases[] = {
        {"KORVA_MOUSE(1, 2);\r\n", true, "a click, as the recorder writes it"},
        {"\n\nKORVA_KBD(65);\n", true, "empty lines first are skipped"},
        {"KORVA_COMMAND(7);\n", true, "a menu command line"},
        {"KORVA_PERIODIC(0);\n", true, "a run of no periodic events is still a script line"},
        {"", false, "an empty file"},
        {"\n\n", false, "only empty lines"},
        {"KORVA_MOUSE(1, 2);", false, "a last line without its line feed is the end of the file"},
        {"Dear diary,\nKORVA_MOUSE(1, 2);\n", false, "playback ends at the first line that is not a script line"},
        {std::string("\x1a") + "KORVA_MOUSE(1, 2);\n", false, "Ctrl-Z ends the file in text mode"},
        {std::string("KORVA_MOUSE(1, 2);\n\x1a"), true, "Ctrl-Z after a line"},
        {std::string("KORVA_\0MOUSE(1, 2);\n", 21), false, "a NUL byte ends the line"},
        {"\r\n", false, "a carriage return and line feed is an empty line"},
        {std::string(600, ' ') + "\n", false, "a long line of blanks"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.plays, script_plays_a_line(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()))
            << c.why;
    }
}

}  // namespace
