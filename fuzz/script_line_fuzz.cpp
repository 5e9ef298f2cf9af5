// Fuzz target for the script line reader and writer. Any byte string must be read without a
// fault, must give a result that depends only on the line up to its end, and the values it
// gives must survive being written as a line and read again.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "korva/platform/key_codes.h"
#include "korva/platform/script_line.h"

static bool same(const ScriptLine& a, const ScriptLine& b) {
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.key == b.key && a.count == b.count &&
           a.command == b.command;
}

static void check(bool condition) {
    if (!condition) abort();
}

// Only the fields of its kind may be set.
static void check_shape(const ScriptLine& l) {
    switch (l.kind) {
    case KORVA_MOUSE:
        check(l.key == 0 && l.count == 0 && l.command == 0);
        break;
    case KORVA_KBD:
        check(l.x == 0 && l.y == 0 && l.count == 0 && l.command == 0);
        break;
    case KORVA_PERIODIC:
        check(l.x == 0 && l.y == 0 && l.key == 0 && l.count >= 0 && l.command == 0);
        break;
    case SCRIPT_COMMAND:
        check(l.x == 0 && l.y == 0 && l.key == 0 && l.count == 0);
        break;
    case SCRIPT_NOW:
        check(l.y == 0 && l.key == 0 && l.count == 0 && l.command == 0);
        break;
    case SCRIPT_RANDOM:
        check(l.key == 0 && l.count == 0 && l.command == 0);
        break;
    case KORVA_BUTTON_DOWN:
    case KORVA_BUTTON_UP:
        check(l.count == 0 && l.command == 0);
        check(l.key == KORVA_BUTTON_LEFT || l.key == KORVA_BUTTON_RIGHT || l.key == KORVA_BUTTON_MIDDLE);
        break;
    case KORVA_MOTION:
        check(l.count == 0 && l.command == 0 && l.key >= 0 && l.key <= 7);
        break;
    case KORVA_WHEEL:
        check(l.count == 0 && l.command == 0 && l.key != 0 && l.key >= -127);
        break;
    case KORVA_KEY_PRESS:
    case KORVA_KEY_RELEASE:
        check(l.x == 0 && l.y == 0 && l.count == 0 && l.command == 0 && is_held_key_code(l.key));
        break;
    default:
        check(l.kind == KORVA_NONE && l.x == 0 && l.y == 0 && l.key == 0 && l.count == 0 && l.command == 0);
        break;
    }
}

static void check_round_trip(const ScriptLine& l) {
    int32_t first = 0;
    int32_t second = 0;
    if (l.kind == KORVA_MOUSE || l.kind == SCRIPT_NOW || l.kind == SCRIPT_RANDOM) {
        first = l.x;
        second = l.y;
    } else if (l.kind == KORVA_KBD) {
        first = l.key;
    } else if (l.kind == KORVA_PERIODIC) {
        first = l.count;
    } else if (l.kind == SCRIPT_COMMAND) {
        first = l.command;
    } else if (l.kind == KORVA_NONE) {
        return;
    }
    char text[SCRIPT_LINE_FORMAT_SIZE];
    // The switched-on kinds carry a position and a key in one line of their own.
    const bool switched_on = l.kind >= KORVA_BUTTON_DOWN && l.kind <= KORVA_WHEEL;
    int n = switched_on ? format_event_line(l.kind, l.x, l.y, l.key, text, sizeof text)
                                        : format_script_line(l.kind, first, second, text, sizeof text);
    check(n > 0 && static_cast<size_t>(n) < sizeof text && text[n - 1] == '\n');
    check(same(l, parse_script_line(text, sizeof text)));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy on the heap: a read past `size` is caught by the address sanitizer.
    std::vector<char> exact(data, data + size);
    ScriptLine whole = parse_script_line(exact.data(), size);
    check_shape(whole);

    // Nothing after the line's end (first NUL or line feed) may change the result.
    size_t end = 0;
    while (end < size && exact[end] != '\0' && exact[end] != '\n') ++end;
    check(same(whole, parse_script_line(exact.data(), end)));

    // As the player reads it: at most 511 characters and a NUL in a 512-byte buffer.
    char buffer[SCRIPT_LINE_BUFFER_SIZE];
    size_t n = size < sizeof buffer - 1 ? size : sizeof buffer - 1;
    memcpy(buffer, data, n);
    buffer[n] = '\0';
    ScriptLine read = parse_script_line(buffer, sizeof buffer);
    check_shape(read);
    if (size < sizeof buffer) check(same(whole, read));

    check_round_trip(whole);
    return 0;
}
