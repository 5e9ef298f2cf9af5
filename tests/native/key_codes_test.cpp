// Which key-downs and typed characters make keyboard events, and with which code.
#include <gtest/gtest.h>

#include "korva/korva.h"
#include "korva/platform/key_codes.h"

TEST(KeyCodes, KeyDownsThatTypeNothingHaveTheirOwnCodes) {
    struct Case { uint32_t virtual_key; int32_t expected; };
    const Case cases[] = {
        {0x25, KORVA_KEY_LEFT}, {0x26, KORVA_KEY_UP}, {0x27, KORVA_KEY_RIGHT}, {0x28, KORVA_KEY_DOWN},
        {0x2E, KORVA_KEY_DELETE},
        // Keys that type a character come through the character: no second event here.
        {'A', NO_KEY_EVENT}, {0x20, NO_KEY_EVENT}, {0x0D, NO_KEY_EVENT}, {0x08, NO_KEY_EVENT},
        {0x11, NO_KEY_EVENT}, {0, NO_KEY_EVENT}, {0xFFFFFFFFu, NO_KEY_EVENT},
    };
    for (const Case& c : cases) EXPECT_EQ(key_code_of_key_down(c.virtual_key), c.expected) << "key 0x" << std::hex << c.virtual_key;
}

TEST(KeyCodes, CharactersKeepTheirCodeExceptControlCodesAndWhileCtrlIsHeld) {
    struct Case { uint32_t character; bool control_down; int32_t expected; };
    const Case cases[] = {
        {'a', false, 'a'}, {' ', false, ' '}, {'~', false, '~'}, {0xE9, false, 0xE9}, {0xFF, false, 0xFF},
        {8, false, KORVA_KEY_BACKSPACE}, {9, false, KORVA_KEY_TAB}, {13, false, KORVA_KEY_ENTER},
        {27, false, KORVA_KEY_ESCAPE},
        // Control codes that are no named key, the arrows' codes and Delete's: never typed keys.
        {0, false, NO_KEY_EVENT}, {1, false, NO_KEY_EVENT}, {10, false, NO_KEY_EVENT},
        {28, false, NO_KEY_EVENT}, {31, false, NO_KEY_EVENT}, {127, false, NO_KEY_EVENT},
        // Wider than one byte: cannot be recorded.
        {0x100, false, NO_KEY_EVENT}, {0xFFFFFFFFu, false, NO_KEY_EVENT},
        // Ctrl held: shortcuts and Ctrl+letter codes, whatever the character reads.
        {8, true, NO_KEY_EVENT}, {13, true, NO_KEY_EVENT}, {1, true, NO_KEY_EVENT}, {'h', true, NO_KEY_EVENT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(key_code_of_character(c.character, c.control_down), c.expected)
            << "character " << c.character << (c.control_down ? " with Ctrl" : "");
}

TEST(KeyCodes, HeldKeysOfAGameHaveTheirCodes) {
    const struct {
        uint32_t virtual_key;
        int32_t code;
    } cases[] = {
        {'A', 'A'}, {'Z', 'Z'}, {'0', '0'}, {'9', '9'}, {0x25, KORVA_KEY_LEFT}, {0x27, KORVA_KEY_RIGHT},
        {0x26, KORVA_KEY_UP}, {0x28, KORVA_KEY_DOWN}, {0x20, KORVA_KEY_SPACE}, {0x0D, KORVA_KEY_ENTER},
        {0x1B, KORVA_KEY_ESCAPE}, {0x10, KORVA_KEY_SHIFT}, {0xA1, KORVA_KEY_SHIFT}, {0x11, KORVA_KEY_CONTROL},
        {0x70, NO_KEY_EVENT},  // F1
        {0x12, NO_KEY_EVENT},  // Alt
        {'a', NO_KEY_EVENT},   // no key has a lower-case virtual-key code
        {0x1FF, NO_KEY_EVENT},
    };
    for (const auto& c : cases) EXPECT_EQ(c.code, held_key_code(c.virtual_key)) << "virtual key " << c.virtual_key;
}
