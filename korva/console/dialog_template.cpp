// Builds the prompt dialog's template byte for byte. Platform-free.
#include "korva/console/dialog_template.h"

#include <string.h>

// The platform's style bits, spelled out here because this file does not see <windows.h>.
constexpr uint32_t DIALOG_STYLE = 0x90C80080;     // WS_POPUP|WS_VISIBLE|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME
constexpr uint32_t EDIT_STYLE = 0x50810044;       // child, visible, border, tab stop, multi-line, auto v-scroll
constexpr uint32_t OKAY_STYLE = 0x50010001;       // child, visible, tab stop, default push button
constexpr uint32_t TEXT_STYLE = 0x50020000;       // child, visible, group, left-aligned static
constexpr uint16_t ATOM_MARKER = 0xFFFF;          // a class given as a predefined atom follows
constexpr uint16_t BUTTON_ATOM = 0x0080;
constexpr uint16_t EDIT_ATOM = 0x0081;
constexpr uint16_t STATIC_ATOM = 0x0082;
constexpr uint16_t ITEM_COUNT = 3;
constexpr uint16_t SPACE_UNIT = 0x0020;

struct DialogRect {
    int16_t x, y, width, height;
};

struct DialogItem {
    size_t offset;
    uint32_t style;
    DialogRect box;
    uint16_t id;
    uint16_t class_atom;
    const char* text;  // null: the prompt, padded to PROMPT_UNITS
};

static const DialogRect DIALOG_BOX = {50, 50, 185, 92};

static const DialogItem ITEMS[ITEM_COUNT] = {
    {PROMPT_EDIT_ITEM_OFFSET, EDIT_STYLE, {8, 30, 167, 37}, PROMPT_EDIT_ID, EDIT_ATOM, ""},
    {PROMPT_OKAY_ITEM_OFFSET, OKAY_STYLE, {67, 74, 50, 14}, PROMPT_OKAY_ID, BUTTON_ATOM, "Okay"},
    {PROMPT_TEXT_ITEM_OFFSET, TEXT_STYLE, {8, 3, 167, 24}, PROMPT_TEXT_ID, STATIC_ATOM, nullptr},
};

// Writes little-endian integers at a moving position. Every write is bounded by the block
// size; the layout is fixed, so an out-of-range write would be a programming error and is
// dropped rather than allowed to overrun.
struct Cursor {
    uint8_t* base;
    size_t at;
};

static void put_byte(Cursor& c, uint8_t value) {
    if (c.at < PROMPT_TEMPLATE_SIZE) c.base[c.at] = value;
    ++c.at;
}

static void put16(Cursor& c, uint16_t value) {
    put_byte(c, static_cast<uint8_t>(value & 0xFF));
    put_byte(c, static_cast<uint8_t>(value >> 8));
}

static void put32(Cursor& c, uint32_t value) {
    put16(c, static_cast<uint16_t>(value & 0xFFFF));
    put16(c, static_cast<uint16_t>(value >> 16));
}

static void put_box(Cursor& c, const DialogRect& box) {
    put16(c, static_cast<uint16_t>(box.x));
    put16(c, static_cast<uint16_t>(box.y));
    put16(c, static_cast<uint16_t>(box.width));
    put16(c, static_cast<uint16_t>(box.height));
}

// Latin-1 widening: the byte's unsigned value, never sign-extended to 0xFFxx.
static uint16_t widen(char ch) {
    return static_cast<uint16_t>(static_cast<unsigned char>(ch));
}

static void put_text(Cursor& c, const char* text) {
    for (; *text != '\0'; ++text) put16(c, widen(*text));
    put16(c, 0);
}

static void put_prompt(Cursor& c, const char* prompt) {
    bool ended = prompt == nullptr;
    for (int32_t i = 0; i < PROMPT_UNITS; ++i) {
        if (!ended && prompt[i] == '\0') ended = true;
        put16(c, ended ? SPACE_UNIT : widen(prompt[i]));
    }
    put16(c, 0);
}

static void put_item(Cursor& c, const DialogItem& item, const char* prompt) {
    c.at = item.offset;
    put32(c, item.style);
    put32(c, 0);  // extended style
    put_box(c, item.box);
    put16(c, item.id);
    put16(c, ATOM_MARKER);
    put16(c, item.class_atom);
    if (item.text != nullptr) {
        put_text(c, item.text);
    } else {
        put_prompt(c, prompt);
    }
    put16(c, 0);  // no creation data; the zeroed block supplies the padding after it
}

void build_prompt_template(const char* prompt, PromptTemplate* out) {
    if (out == nullptr) return;
    memset(out->bytes, 0, sizeof out->bytes);
    Cursor c{out->bytes, 0};
    put32(c, DIALOG_STYLE);
    put32(c, 0);  // extended style
    put16(c, ITEM_COUNT);
    put_box(c, DIALOG_BOX);
    put16(c, 0);  // no menu
    put16(c, 0);  // the platform's dialog class
    put_text(c, PROMPT_DIALOG_TITLE);
    for (const DialogItem& item : ITEMS) put_item(c, item, prompt);
}
