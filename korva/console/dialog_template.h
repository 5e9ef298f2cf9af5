// The in-memory template of the prompt dialog: 292 bytes in the platform's DLGTEMPLATE
// format (a header and three DLGITEMTEMPLATE items), built from the prompt text.
// Platform-free, so its bytes can be checked natively.
#ifndef KORVA_CONSOLE_DIALOG_TEMPLATE_H
#define KORVA_CONSOLE_DIALOG_TEMPLATE_H

#include <stddef.h>
#include <stdint.h>

constexpr size_t PROMPT_TEMPLATE_SIZE = 292;
constexpr int32_t PROMPT_UNITS = 79;  // the prompt is shown as exactly this many characters

// Control ids of the dialog's items.
constexpr int32_t PROMPT_OKAY_ID = 101;
constexpr int32_t PROMPT_EDIT_ID = 102;
constexpr int32_t PROMPT_TEXT_ID = 103;

// The dialog's title, also its window text.
constexpr const char PROMPT_DIALOG_TITLE[] = "KORVA_gets";

// Offsets of the three items in the block (each starts on a 4-byte boundary).
constexpr size_t PROMPT_EDIT_ITEM_OFFSET = 44;
constexpr size_t PROMPT_OKAY_ITEM_OFFSET = 72;
constexpr size_t PROMPT_TEXT_ITEM_OFFSET = 108;

// The platform reads a template as DWORD-aligned, so the block carries that alignment.
struct PromptTemplate {
    alignas(4) uint8_t bytes[PROMPT_TEMPLATE_SIZE];
};

// Zeroes the block and writes the whole template for this prompt. The prompt's first 79
// characters are used, padded with spaces; null counts as an empty prompt. Each byte
// becomes one 16-bit unit of the same unsigned value, so 0x80..0xFF map to U+0080..U+00FF
// (Latin-1): the prompt is never read past its terminating zero or its 79th character.
void build_prompt_template(const char* prompt, PromptTemplate* out);

#endif
