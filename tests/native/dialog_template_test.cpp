// The prompt dialog's template, byte for byte: header, the three items, padding and prompt.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

#include "korva/console/dialog_template.h"

static uint32_t read_le(const uint8_t* bytes, size_t offset, size_t width) {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

// The 16-bit units from offset up to (not including) the first 0 unit.
static std::u16string read_units(const uint8_t* bytes, size_t offset) {
    std::u16string out;
    for (size_t at = offset; at + 1 < PROMPT_TEMPLATE_SIZE; at += 2) {
        char16_t unit = static_cast<char16_t>(read_le(bytes, at, 2));
        if (unit == 0) break;
        out.push_back(unit);
    }
    return out;
}

static std::u16string widened(const std::string& s) {
    std::u16string out;
    for (unsigned char ch : s) out.push_back(static_cast<char16_t>(ch));
    return out;
}

struct Field {
    const char* name;
    size_t offset;
    size_t width;
    uint32_t expected;
};

// Every integer of the template, at its absolute offset.
static const Field FIELDS[] = {
    {"dialog style", 0, 4, 0x90C80080},
    {"dialog extended style", 4, 4, 0},
    {"item count", 8, 2, 3},
    {"dialog x", 10, 2, 50},
    {"dialog y", 12, 2, 50},
    {"dialog width", 14, 2, 185},
    {"dialog height", 16, 2, 92},
    {"menu", 18, 2, 0},
    {"window class", 20, 2, 0},
    {"title terminator", 42, 2, 0},

    {"edit style", 44, 4, 0x50810044},
    {"edit extended style", 48, 4, 0},
    {"edit x", 52, 2, 8},
    {"edit y", 54, 2, 30},
    {"edit width", 56, 2, 167},
    {"edit height", 58, 2, 37},
    {"edit id", 60, 2, 102},
    {"edit class marker", 62, 2, 0xFFFF},
    {"edit class atom", 64, 2, 0x0081},
    {"edit text (empty)", 66, 2, 0},
    {"edit creation data", 68, 2, 0},
    {"edit padding", 70, 2, 0},

    {"button style", 72, 4, 0x50010001},
    {"button extended style", 76, 4, 0},
    {"button x", 80, 2, 67},
    {"button y", 82, 2, 74},
    {"button width", 84, 2, 50},
    {"button height", 86, 2, 14},
    {"button id", 88, 2, 101},
    {"button class marker", 90, 2, 0xFFFF},
    {"button class atom", 92, 2, 0x0080},
    {"button text terminator", 102, 2, 0},
    {"button creation data", 104, 2, 0},
    {"button padding", 106, 2, 0},

    {"prompt style", 108, 4, 0x50020000},
    {"prompt extended style", 112, 4, 0},
    {"prompt x", 116, 2, 8},
    {"prompt y", 118, 2, 3},
    {"prompt width", 120, 2, 167},
    {"prompt height", 122, 2, 24},
    {"prompt id", 124, 2, 103},
    {"prompt class marker", 126, 2, 0xFFFF},
    {"prompt class atom", 128, 2, 0x0082},
    {"prompt text terminator", 288, 2, 0},
    {"prompt creation data", 290, 2, 0},
};

constexpr size_t PROMPT_TEXT_AT = 130;

TEST(PromptTemplate, EveryFieldHoldsItsValue) {
    PromptTemplate t;
    build_prompt_template("Name?", &t);
    for (const Field& f : FIELDS)
        EXPECT_EQ(f.expected, read_le(t.bytes, f.offset, f.width))
            << f.name << " at offset " << f.offset << ": expected 0x" << std::hex << f.expected;
    EXPECT_EQ(u"KORVA_gets", read_units(t.bytes, 22));
    EXPECT_EQ(u"Okay", read_units(t.bytes, 94));
    EXPECT_EQ(292u, sizeof t.bytes);
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(t.bytes) % 4) << "the block must be DWORD-aligned";
}

TEST(PromptTemplate, StaleBytesAreOverwritten) {
    PromptTemplate fresh, reused;
    build_prompt_template("abc", &fresh);
    memset(reused.bytes, 0xAB, sizeof reused.bytes);
    build_prompt_template("abc", &reused);
    EXPECT_EQ(0, memcmp(fresh.bytes, reused.bytes, sizeof fresh.bytes));
}

struct PromptCase {
    const char* name;
    std::string prompt;
    std::u16string shown;  // exactly 79 units
};

static std::u16string spaces(size_t n) {
    return std::u16string(n, u' ');
}

TEST(PromptTemplate, PromptIsCutOrPaddedTo79Units) {
    const std::string hundred = std::string(50, 'a') + std::string(50, 'b');
    const PromptCase cases[] = {
        {"five characters", "Name?", u"Name?" + spaces(74)},
        {"empty", "", spaces(79)},
        {"exactly 79", std::string(79, 'q'), std::u16string(79, u'q')},
        {"100 characters", hundred, widened(hundred.substr(0, 79))},
        {"inner spaces and newline kept", "a b\nc", u"a b\nc" + spaces(74)},
        {"bytes above 0x7F widen as Latin-1", "\xE9t\xE9 \x80\xFF", u"\u00E9t\u00E9 \u0080\u00FF" + spaces(73)},
    };
    for (const PromptCase& c : cases) {
        PromptTemplate t;
        build_prompt_template(c.prompt.c_str(), &t);
        std::u16string shown = read_units(t.bytes, PROMPT_TEXT_AT);
        EXPECT_EQ(79u, shown.size()) << c.name;
        EXPECT_TRUE(shown == c.shown) << c.name << ": unit " << [&] {
            size_t i = 0;
            while (i < shown.size() && i < c.shown.size() && shown[i] == c.shown[i]) ++i;
            return std::to_string(i) + " differs (expected " +
                   (i < c.shown.size() ? std::to_string(c.shown[i]) : "end") + ", got " +
                   (i < shown.size() ? std::to_string(shown[i]) : "end") + ")";
        }();
        EXPECT_EQ(0u, read_le(t.bytes, 288, 2)) << c.name << ": terminator after 79 units";
    }
}

TEST(PromptTemplate, OnlyThePromptChangesWithThePrompt) {
    PromptTemplate a, b;
    build_prompt_template("first", &a);
    build_prompt_template(std::string(200, 'z').c_str(), &b);
    EXPECT_EQ(0, memcmp(a.bytes, b.bytes, PROMPT_TEXT_AT));
    EXPECT_EQ(0, memcmp(a.bytes + 288, b.bytes + 288, 4));
}

TEST(PromptTemplate, NullPromptIsShownAsEmpty) {
    PromptTemplate null_prompt, empty_prompt;
    build_prompt_template(nullptr, &null_prompt);
    build_prompt_template("", &empty_prompt);
    EXPECT_EQ(0, memcmp(null_prompt.bytes, empty_prompt.bytes, PROMPT_TEMPLATE_SIZE));
}

TEST(PromptTemplate, ShortPromptIsNotReadPastItsEnd) {
    // A 3-byte heap block without room for more: ASan reports any read beyond it.
    char* prompt = new char[3]{'h', 'i', '\0'};
    PromptTemplate t;
    build_prompt_template(prompt, &t);
    EXPECT_EQ(u"hi" + spaces(77), read_units(t.bytes, PROMPT_TEXT_AT));
    delete[] prompt;
}
