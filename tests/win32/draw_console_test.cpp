// What the drawing primitives write to the console: corrections first, in each primitive's
// own order, then the log line while logging is on; and the formatted forms' counts.
#include <gtest/gtest.h>

#include <limits.h>

#include <functional>
#include <string>
#include <vector>

#include "korva/korva.h"
#include "support/korva_session.h"

namespace {

struct Line {
    bool is_log;  // log lines appear only while logging is on
    std::string text;
};

struct ConsoleCase {
    const char* name;
    std::function<int()> call;
    std::vector<Line> lines;
};

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += "  [" + line + "]\n";
    return all;
}

class DrawConsole : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_once();
        drain_messages();
        clear_console();
    }
    void TearDown() override { KORVA_logging(0); }
};

const std::vector<ConsoleCase>& console_cases() {
    static const std::vector<ConsoleCase> cases = {
        {"pixel", [] { return KORVA_draw_pixel(5, 3, -4); }, {{true, "yellow pixel at (3,-4)\n"}}},
        {"pixel, illegal colour, Point form", [] { return KORVA_draw_pixel(24, Point{1, 2}); },
         {{false, "Illegal color 24; using RED.\n"}, {true, "red pixel at (1,2)\n"}}},
        {"circle, colour then radius", [] { return KORVA_draw_circle(-1, 0, 0, -5); },
         {{false, "Illegal color -1; using RED.\n"},
          {false, "Radius of -5 not possible, using radius 5\n"},
          {true, "red circle at (0,0), radius 5\n"}}},
        {"circle of radius 0", [] { return KORVA_draw_circle(0, 7, 8, 0); }, {{true, "black circle at (7,8), radius 0\n"}}},
        {"circle of radius INT_MIN", [] { return KORVA_draw_circle(1, 0, 0, INT_MIN); },
         {{false, "Radius of -2147483648 not possible, using radius 2147483647\n"},
          {true, "white circle at (0,0), radius 2147483647\n"}}},
        {"triangle, colour then width; width not logged",
         [] { return KORVA_draw_triangle(99, 1, 2, 3, 4, 5, 6, -2); },
         {{false, "Illegal color 99; using RED.\n"},
          {false, "Width of -2 not possible, using width 2\n"},
          {true, "red triangle at (1,2), (3,4), (5,6)\n"}}},
        {"rectangle, normalised corners, filled", [] { return KORVA_draw_rectangle(3, 10, -10, -10, 10, 0); },
         {{true, "green rectangle with bounding box (-10,10) to (10,-10), filled\n"}}},
        {"rectangle, colour then width", [] { return KORVA_draw_rectangle(99, Point{0, 0}, Point{5, 5}, -2); },
         {{false, "Illegal color 99; using RED.\n"},
          {false, "Width of -2 not possible, using width 2\n"},
          {true, "red rectangle with bounding box (0,5) to (5,0) with line width 2\n"}}},
        {"oval, width then colour", [] { return KORVA_draw_oval(99, 5, 5, 0, 0, -2); },
         {{false, "Width of -2 not possible, using width 2\n"},
          {false, "Illegal color 99; using RED.\n"},
          {true, "red oval with bounding box (0,5) to (5,0), line width 2\n"}}},
        {"oval, filled", [] { return KORVA_draw_oval(8, Point{-3, -3}, Point{3, 3}, 0); },
         {{true, "purple oval with bounding box (-3,3) to (3,-3), filled\n"}}},
        {"line of width 0 is logged as 0", [] { return KORVA_draw_line(4, 0, 0, 10, 0, 0); },
         {{true, "blue line from (0,0) to (10,0), width 0\n"}}},
        {"line, width then colour", [] { return KORVA_draw_line(30, Point{10, 0}, Point{0, 0}, -3); },
         {{false, "Width of -3 not possible, using width 3\n"},
          {false, "Illegal color 30; using RED.\n"},
          {true, "red line from (10,0) to (0,0), width 3\n"}}},
        {"text, ptsize twice then colour", [] { return KORVA_draw_text(-7, 1, 2, -200, "A\nB"); },
         {{false, "ptsize of -200 not possible, using ptsize 200\n"},
          {false, "ptsize of 200 not possible, using ptsize 127\n"},
          {false, "Illegal color -7; using RED.\n"},
          {true, "red text at (1,2), \"A\nB\"\n"}}},
        {"text of ptsize 128", [] { return KORVA_draw_text(0, Point{0, 0}, 128, "x"); },
         {{false, "ptsize of 128 not possible, using ptsize 127\n"}, {true, "black text at (0,0), \"x\"\n"}}},
        {"text of ptsize 127 and 0", [] { return KORVA_draw_text(0, 0, 0, 127, "") + KORVA_draw_text(0, 0, 0, 0, "y") - 1; },
         {{true, "black text at (0,0), \"\"\n"}, {true, "black text at (0,0), \"y\"\n"}}},
        {"text of ptsize INT_MIN", [] { return KORVA_draw_text(0, 0, 0, INT_MIN, "z"); },
         {{false, "ptsize of -2147483648 not possible, using ptsize 2147483647\n"},
          {false, "ptsize of 2147483647 not possible, using ptsize 127\n"},
          {true, "black text at (0,0), \"z\"\n"}}},
        {"printf_at logs the formatted text", [] { return KORVA_printf_at(2, Point{0, 0}, 12, "%s=%d", "n", 5) == 3; },
         {{true, "red text at (0,0), \"n=5\"\n"}}},
        {"printf_extent checks no colour and logs nothing",
         [] {
             int32_t h = 0, w = 0;
             return KORVA_printf_extent(-12, &h, &w, "%d", 7);
         },
         {{false, "ptsize of -12 not possible, using ptsize 12\n"}}},
        {"undo", [] { return KORVA_undo(); }, {{false, "KORVA_undo is no longer supported.\n"}}},
        {"clear", [] { return KORVA_clear(); }, {{true, "Clearing the graphics window\n"}}},
        {"flush", [] { return KORVA_flush(); }, {{true, "Flushing the graphics window\n"}}},
    };
    return cases;
}

TEST_F(DrawConsole, CorrectionsThenLogLineWithLoggingOnAndOff) {
    for (int logging : {1, 0}) {
        for (const ConsoleCase& c : console_cases()) {
            KORVA_logging(logging);
            clear_console();
            EXPECT_EQ(1, c.call()) << c.name;
            std::vector<std::string> expected;
            for (const Line& line : c.lines) {
                if (logging || !line.is_log) expected.push_back(line.text);
            }
            std::vector<std::string> actual = console_lines();
            EXPECT_EQ(expected, actual) << c.name << ", logging " << logging << "\nexpected:\n"
                                        << joined(expected) << "actual:\n" << joined(actual);
        }
    }
}

TEST_F(DrawConsole, PrintfAtReturnsTheCountOfTheDrawnText) {
    KORVA_logging(1);
    EXPECT_EQ(2, KORVA_printf_at(0, 0, 0, 12, "%d", 42));
    EXPECT_EQ(std::vector<std::string>{"black text at (0,0), \"42\"\n"}, console_lines());
    EXPECT_EQ(0, KORVA_printf_at(0, Point{0, 0}, 12, "%s", ""));
}

// A formatted text longer than the 1024-byte buffer keeps its first 1023 characters, and
// the count says so; the log line carrying it is cut by the console, not overrun.
TEST_F(DrawConsole, LongFormattedTextKeepsItsFirst1023Characters) {
    std::string long_text(1500, 'w');
    long_text[1022] = 'E';
    KORVA_logging(1);
    EXPECT_EQ(1023, KORVA_printf_at(0, 0, 0, 10, "%s", long_text.c_str()));
    std::vector<std::string> lines = console_lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_LE(lines[0].size(), 1023u);
    EXPECT_EQ(0u, lines[0].rfind("black text at (0,0), \"www", 0)) << lines[0].substr(0, 40);

    KORVA_logging(0);
    int32_t h_long = 0, w_long = 0, h_cut = 0, w_cut = 0;
    EXPECT_EQ(1023, KORVA_printf_extent(10, &h_long, &w_long, "%s", long_text.c_str()));
    EXPECT_EQ(1, KORVA_text_extent(10, &h_cut, &w_cut, long_text.substr(0, 1023).c_str()));
    EXPECT_EQ(w_cut, w_long) << "the measured text is the text that was kept";
    EXPECT_EQ(h_cut, h_long);
}
}  // namespace
