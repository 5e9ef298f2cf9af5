// The script line reader and writer: what each kind of line, well-formed or not, gives the player,
// and the lines the recorder writes.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "korva/platform/script_line.h"

namespace {

struct LineCase {
    const char* name;
    std::string line;  // may hold NUL bytes; passed with its full length
    ScriptLine expected;
};

std::string describe(const ScriptLine& l) {
    return "{kind " + std::to_string(l.kind) + ", x " + std::to_string(l.x) + ", y " + std::to_string(l.y) +
           ", key " + std::to_string(l.key) + ", count " + std::to_string(l.count) + ", command " +
           std::to_string(l.command) + "}";
}

bool same(const ScriptLine& a, const ScriptLine& b) {
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.key == b.key && a.count == b.count &&
           a.command == b.command;
}

constexpr ScriptLine NOT_SCRIPT{KORVA_NONE, 0, 0, 0, 0, 0};
ScriptLine mouse(int32_t x, int32_t y) { return {KORVA_MOUSE, x, y, 0, 0, 0}; }
ScriptLine kbd(int8_t key) { return {KORVA_KBD, 0, 0, key, 0, 0}; }
ScriptLine periodic(int32_t count) { return {KORVA_PERIODIC, 0, 0, 0, count, 0}; }
ScriptLine command(int32_t id) { return {SCRIPT_COMMAND, 0, 0, 0, 0, id}; }

const LineCase LINE_CASES[] = {
    // The three formats as written.
    {"mouse", "KORVA_MOUSE(12, 34);\n", mouse(12, 34)},
    {"mouse negatives", "KORVA_MOUSE(-300, -270);\n", mouse(-300, -270)},
    {"kbd", "KORVA_KBD(65);\n", kbd(65)},
    {"kbd negative", "KORVA_KBD(-3);\n", kbd(-3)},
    {"kbd low byte", "KORVA_KBD(200);\n", kbd(-56)},
    {"kbd low byte of 256+7", "KORVA_KBD(263);\n", kbd(7)},
    {"kbd -128", "KORVA_KBD(-128);\n", kbd(-128)},
    {"periodic", "KORVA_PERIODIC(5);\n", periodic(5)},
    {"periodic zero", "KORVA_PERIODIC(0);\n", periodic(0)},
    {"no line feed", "KORVA_MOUSE(1, 2);", mouse(1, 2)},
    {"CR before LF", "KORVA_MOUSE(7, -8);\r\n", mouse(7, -8)},
    {"CR between numbers", "KORVA_MOUSE(7\r-8);\n", mouse(7, -8)},

    // Only index 6 is looked at; case matters.
    {"prefix not checked", "xxxxxxM 3 4", mouse(3, 4)},
    {"bare M", "abcdefM", mouse(0, 0)},
    {"lower case m", "KORVA_mOUSE(1, 2);\n", NOT_SCRIPT},
    {"other letter", "KORVA_EXIT(1);\n", NOT_SCRIPT},
    {"six characters", "KORVA_", NOT_SCRIPT},
    {"six then LF", "KORVA_\nM(1, 2)", NOT_SCRIPT},
    {"empty", "", NOT_SCRIPT},
    {"just LF", "\n", NOT_SCRIPT},
    {"CR at index 6", "KORVA_\r\n", NOT_SCRIPT},

    // The scan: runs of digits and '-', converted up to the first non-digit after the sign.
    {"digit minus digit", "KORVA_MOUSE(5-3, 9);\n", mouse(5, 9)},
    {"double minus", "KORVA_MOUSE(--5, 9);\n", mouse(0, 9)},
    {"lone minus", "KORVA_MOUSE(-, 9);\n", mouse(0, 9)},
    {"minus in the prefix", "KORVA_MOUSE-(1, 2);\n", mouse(0, 1)},
    {"numbers without separators", "KORVA_M1x2y", mouse(1, 2)},
    {"kbd with nothing after the letter", "KORVA_K", kbd(0)},
    {"periodic skips minus", "KORVA_PERIODIC(-4);\n", periodic(4)},
    {"periodic takes digits only", "KORVA_PERIODIC(4-2);\n", periodic(4)},
    {"leading zeros", "KORVA_MOUSE(007, -0009);\n", mouse(7, -9)},

    // Missing numbers are 0, and the search stops at the line's end.
    {"mouse without numbers", "KORVA_MOUSE();\n", mouse(0, 0)},
    {"mouse with one number", "KORVA_MOUSE(17);\n", mouse(17, 0)},
    {"second number after LF not seen", "KORVA_MOUSE(17);\n42", mouse(17, 0)},
    {"kbd without number", "KORVA_KBD();\n", kbd(0)},
    {"periodic without digit", "KORVA_PERIODIC(-);\n", periodic(0)},

    // 11 characters of a run are converted; the rest of a longer run is passed over.
    {"11 digits saturate", "KORVA_MOUSE(12345678901, 1);\n", mouse(INT32_MAX, 1)},
    {"11 chars negative saturate", "KORVA_MOUSE(-9999999999, 1);\n", mouse(INT32_MIN, 1)},
    {"INT32_MAX exact", "KORVA_MOUSE(2147483647, 1);\n", mouse(INT32_MAX, 1)},
    {"INT32_MAX + 1", "KORVA_MOUSE(2147483648, 1);\n", mouse(INT32_MAX, 1)},
    {"INT32_MIN exact", "KORVA_MOUSE(-2147483648, 1);\n", mouse(INT32_MIN, 1)},
    {"INT32_MIN - 1", "KORVA_MOUSE(-2147483649, 1);\n", mouse(INT32_MIN, 1)},
    {"12-char run cut to 11", "KORVA_MOUSE(000000000012, 5);\n", mouse(1, 5)},
    {"long run does not spill", "KORVA_MOUSE(0000000000012345, 6);\n", mouse(0, 6)},
    {"long run of minus", "KORVA_MOUSE(----------------7, 8);\n", mouse(0, 8)},
    {"long run then no second number", "KORVA_MOUSE(00000000000000000000001);\n", mouse(0, 0)},
    {"periodic huge", "KORVA_PERIODIC(99999999999999999999);\n", periodic(INT32_MAX)},
    {"kbd huge", "KORVA_KBD(99999999999);\n", kbd(-1)},  // INT32_MAX's low byte is 0xFF

    // NUL ends the line; other bytes are non-digits.
    {"NUL before index 6", std::string("KORV\0_MOUSE(1, 2);\n", 19), NOT_SCRIPT},
    {"NUL hides the second number", std::string("KORVA_MOUSE(1\0, 2);\n", 20), mouse(1, 0)},
    {"non-ASCII between numbers", "KORVA_MOUSE(\xC3\xA9 3 \xFF 4);\n", mouse(3, 4)},
    {"non-ASCII at index 6", "KORVA_\xCDOUSE(1, 2);\n", NOT_SCRIPT},
    {"tab and space", "KORVA_MOUSE(\t-1 ,\t 2 );\n", mouse(-1, 2)},

    // Menu command lines: read like the others; which ids may be played is the player's matter.
    {"command", "KORVA_COMMAND(13);\n", command(13)},
    {"command with CR", "KORVA_COMMAND(8);\r\n", command(8)},
    {"command outside the menu", "KORVA_COMMAND(9);\n", command(9)},
    {"command negative stays negative", "KORVA_COMMAND(-13);\n", command(-13)},
    {"command without number", "KORVA_COMMAND();\n", command(0)},
    {"command bare C", "abcdefC", command(0)},
    {"command huge", "KORVA_COMMAND(99999999999);\n", command(INT32_MAX)},
    {"command huge negative", "KORVA_COMMAND(-99999999999);\n", command(INT32_MIN)},
    {"command long run does not spill", "KORVA_COMMAND(0000000000013 5);\n", command(0)},
    {"command takes the first number only", "KORVA_COMMAND(13, 14);\n", command(13)},
    {"command NUL before the number", std::string("KORVA_COMMAND(\0" "13);\n", 20), command(0)},
    {"lower case c", "KORVA_cOMMAND(13);\n", NOT_SCRIPT},
};

TEST(ScriptLine, ParsesEachLineAsThePlayerDoes) {
    for (const LineCase& c : LINE_CASES) {
        ScriptLine got = parse_script_line(c.line.data(), c.line.size());
        EXPECT_TRUE(same(c.expected, got))
            << c.name << ": expected " << describe(c.expected) << ", got " << describe(got);
    }
}

// The reader must stop at the given size even without NUL or line feed: the fixture sits
// at the very end of a heap block, so ASan reports any read past it.
TEST(ScriptLine, NeverReadsPastTheGivenSize) {
    const struct {
        const char* text;
        ScriptLine expected;
    } cases[] = {
        {"KORVA_MOUSE(12, 3", mouse(12, 3)},
        {"KORVA_MOUSE(123456789012345", mouse(INT32_MAX, 0)},
        {"KORVA_MOUSE(1, 000000000001234", mouse(1, 0)},
        {"KORVA_P", periodic(0)},
        {"KORVA_COMMAND(1", command(1)},
        {"KORVA_", NOT_SCRIPT},
        {"", NOT_SCRIPT},
    };
    for (const auto& c : cases) {
        size_t n = strlen(c.text);
        char* exact = new char[n == 0 ? 1 : n];
        memcpy(exact, c.text, n);
        ScriptLine got = parse_script_line(exact, n);
        delete[] exact;
        EXPECT_TRUE(same(c.expected, got))
            << '"' << c.text << "\": expected " << describe(c.expected) << ", got " << describe(got);
    }
}

TEST(ScriptLine, LongestReadOfTheBufferIsOneLine) {
    // 511 characters: a mouse line padded with spaces, as one read of the player gives it.
    std::string line = "KORVA_MOUSE(" + std::string(490, ' ') + "-12, 34);";
    line.resize(SCRIPT_LINE_BUFFER_SIZE - 1, ' ');
    ScriptLine got = parse_script_line(line.c_str(), SCRIPT_LINE_BUFFER_SIZE);
    EXPECT_TRUE(same(mouse(-12, 34), got)) << "got " << describe(got);
}

TEST(ScriptLine, FormatsTheRecordersLines) {
    const struct {
        int32_t kind, first, second;
        const char* expected;
    } cases[] = {
        {KORVA_MOUSE, 12, -34, "KORVA_MOUSE(12, -34);\n"},
        {KORVA_MOUSE, INT32_MIN, INT32_MAX, "KORVA_MOUSE(-2147483648, 2147483647);\n"},
        {KORVA_KBD, -128, 99, "KORVA_KBD(-128);\n"},
        {KORVA_PERIODIC, 5, 99, "KORVA_PERIODIC(5);\n"},
        {SCRIPT_COMMAND, 13, 99, "KORVA_COMMAND(13);\n"},
        {SCRIPT_COMMAND, INT32_MIN, 0, "KORVA_COMMAND(-2147483648);\n"},
        {SCRIPT_NOW, 16667, 99, "KORVA_NOW(16667);\n"},
        {SCRIPT_RANDOM, INT32_MIN, -1, "KORVA_RANDOM(-2147483648, -1);\n"},
        {KORVA_ENTER, 1, 2, ""},
        {KORVA_LEAVE, 1, 2, ""},
        {KORVA_EXIT, 1, 2, ""},
        {KORVA_NONE, 1, 2, ""},
    };
    for (const auto& c : cases) {
        char out[SCRIPT_LINE_FORMAT_SIZE];
        memset(out, 'X', sizeof out);
        int n = format_script_line(c.kind, c.first, c.second, out, sizeof out);
        EXPECT_EQ(std::string(c.expected), std::string(out)) << "kind " << c.kind;
        EXPECT_EQ(static_cast<int>(strlen(c.expected)), n) << "kind " << c.kind;
    }
}

TEST(ScriptLine, FormatIsCutToTheBuffer) {
    char out[8];
    EXPECT_EQ(7, format_script_line(KORVA_MOUSE, 1, 2, out, sizeof out));
    EXPECT_STREQ("KORVA_M", out);
    EXPECT_EQ(0, format_script_line(KORVA_MOUSE, 1, 2, out, 0));
}

TEST(ScriptLine, WrittenLinesReadBackToTheSameValues) {
    const int32_t values[] = {0, 1, -1, 127, -128, 255, 300, -300, INT32_MAX, INT32_MIN};
    char out[SCRIPT_LINE_FORMAT_SIZE];
    for (int32_t a : values) {
        for (int32_t b : values) {
            format_script_line(KORVA_MOUSE, a, b, out, sizeof out);
            ScriptLine m = parse_script_line(out, sizeof out);
            EXPECT_TRUE(same(mouse(a, b), m)) << out << " read back as " << describe(m);
        }
        int8_t key = static_cast<int8_t>(a);
        format_script_line(KORVA_KBD, key, 0, out, sizeof out);
        ScriptLine k = parse_script_line(out, sizeof out);
        EXPECT_TRUE(same(kbd(key), k)) << out << " read back as " << describe(k);
        format_script_line(SCRIPT_COMMAND, a, 0, out, sizeof out);
        ScriptLine c = parse_script_line(out, sizeof out);
        EXPECT_TRUE(same(command(a), c)) << out << " read back as " << describe(c);
        // The values a program was given: the clock's milliseconds, and the generator's state.
        format_script_line(SCRIPT_NOW, a, 0, out, sizeof out);
        ScriptLine now = parse_script_line(out, sizeof out);
        EXPECT_TRUE(same(ScriptLine{SCRIPT_NOW, a, 0, 0, 0, 0}, now)) << out << " read back as " << describe(now);
        for (int32_t b : values) {
            format_script_line(SCRIPT_RANDOM, a, b, out, sizeof out);
            ScriptLine r = parse_script_line(out, sizeof out);
            EXPECT_TRUE(same(ScriptLine{SCRIPT_RANDOM, a, b, 0, 0, 0}, r)) << out << " read back as " << describe(r);
        }
        if (a > 0) {
            format_script_line(KORVA_PERIODIC, a, 0, out, sizeof out);
            ScriptLine p = parse_script_line(out, sizeof out);
            EXPECT_TRUE(same(periodic(a), p)) << out << " read back as " << describe(p);
        }
    }
}

}  // namespace

namespace {

// The lines of the events a program switches on: each written line reads back to its event, and
// the old kinds read as they always did.
TEST(ScriptLine, SwitchedOnEventsWriteAndReadTheirOwnLines) {
    const struct {
        int32_t kind, x, y, key;
        const char* line;
    } cases[] = {
        {KORVA_BUTTON_DOWN, -20, 30, KORVA_BUTTON_RIGHT, "KORVA_BUTTON(-20, 30, 2, 1);\n"},
        {KORVA_BUTTON_UP, 2147483647, -2147483647 - 1, KORVA_BUTTON_LEFT, "KORVA_BUTTON(2147483647, -2147483648, 1, 0);\n"},
        {KORVA_MOTION, 5, -6, KORVA_BUTTON_LEFT | KORVA_BUTTON_MIDDLE, "KORVA_TRACK(5, -6, 5);\n"},
        {KORVA_MOTION, 0, 0, 0, "KORVA_TRACK(0, 0, 0);\n"},
        {KORVA_KEY_PRESS, 0, 0, 'A', "KORVA_HOLD(65, 1);\n"},
        {KORVA_KEY_RELEASE, 0, 0, KORVA_KEY_CONTROL, "KORVA_HOLD(17, 0);\n"},
        {KORVA_WHEEL, -7, 8, 2, "KORVA_WHEEL(-7, 8, 2);\n"},
        {KORVA_WHEEL, 0, 0, -127, "KORVA_WHEEL(0, 0, -127);\n"},
        {KORVA_MOUSE, 3, 4, 0, "KORVA_MOUSE(3, 4);\n"},
    };
    for (const auto& c : cases) {
        char out[SCRIPT_LINE_FORMAT_SIZE];
        int n = format_event_line(c.kind, c.x, c.y, c.key, out, sizeof out);
        EXPECT_STREQ(c.line, out);
        EXPECT_EQ(static_cast<int>(strlen(c.line)), n);
        ScriptLine read = parse_script_line(out, sizeof out);
        EXPECT_EQ(c.kind, read.kind) << c.line;
        EXPECT_EQ(c.x, read.x) << c.line;
        EXPECT_EQ(c.y, read.y) << c.line;
        if (c.kind != KORVA_MOUSE) EXPECT_EQ(c.key, read.key) << c.line;
    }
    // Lines the recorder never writes still read safely: missing numbers are 0.
    EXPECT_EQ(KORVA_BUTTON_UP, parse_script_line("KORVA_BUTTON(1, 2, 4", 20).kind);
    EXPECT_EQ(KORVA_NONE, parse_script_line("KORVA_ZOOM(1);", 14).kind);
}

// A button, a set of buttons or a key that no event of that kind can carry makes the line one
// that cannot be read (playback ends there), never an event the program was not promised.
TEST(ScriptLine, SwitchedOnLinesWithValuesNoEventCarriesAreNoLines) {
    const struct {
        const char* line;
        int32_t kind;  // KORVA_NONE: not a script line
    } cases[] = {
        {"KORVA_BUTTON(1, 2, 7, 1);", KORVA_NONE},     {"KORVA_BUTTON(1, 2, 3, 1);", KORVA_NONE},
        {"KORVA_BUTTON(1, 2, 0, 1);", KORVA_NONE},     {"KORVA_BUTTON(1, 2, -1, 0);", KORVA_NONE},
        {"KORVA_BUTTON(1, 2, 258, 1);", KORVA_NONE},   {"KORVA_BUTTON(1, 2, 4, 1);", KORVA_BUTTON_DOWN},
        {"KORVA_TRACK(1, 2, 8);", KORVA_NONE},         {"KORVA_TRACK(1, 2, -1);", KORVA_NONE},
        {"KORVA_TRACK(1, 2, 263);", KORVA_NONE},       {"KORVA_TRACK(1, 2, 7);", KORVA_MOTION},
        {"KORVA_HOLD(200, 1);", KORVA_NONE},           {"KORVA_HOLD(-56, 1);", KORVA_NONE},
        {"KORVA_HOLD(-1, 0);", KORVA_NONE},            {"KORVA_HOLD(97, 1);", KORVA_NONE},  // 'a': letters are capitals
        {"KORVA_HOLD(328, 1);", KORVA_NONE},           {"KORVA_HOLD", KORVA_NONE},
        {"KORVA_HOLD(72, 1);", KORVA_KEY_PRESS},       {"KORVA_HOLD(127, 0);", KORVA_KEY_RELEASE},
        {"KORVA_HOLD(28, 1);", KORVA_KEY_PRESS},
        {"KORVA_WHEEL(1, 2, 0);", KORVA_NONE},         {"KORVA_WHEEL(1, 2, 128);", KORVA_NONE},
        {"KORVA_WHEEL(1, 2, -128);", KORVA_NONE},      {"KORVA_WHEEL(1, 2);", KORVA_NONE},
        {"KORVA_WHEEL(1, 2, 127);", KORVA_WHEEL},      {"KORVA_WHEEL(1, 2, -1);", KORVA_WHEEL},
    };
    for (const auto& c : cases) {
        ScriptLine read = parse_script_line(c.line, strlen(c.line));
        EXPECT_EQ(c.kind, read.kind) << c.line;
        if (c.kind == KORVA_NONE) EXPECT_EQ(0, read.key) << c.line;
    }
}

}  // namespace
