// Reading and writing one line of the script file. Platform-free.
//
// How a line is read:
// - The character at index 6 (right after "KORVA_") picks the kind; nothing before it is
//   checked. 'M' mouse, 'K' keyboard, 'P' periodic, 'C' menu command, 'N' the clock's time and
//   'R' the random generator's state (each number as for 'M'); and, for the events a
//   program switches on itself, 'B' button ("KORVA_BUTTON(x, y, button, down);"), 'T' motion
//   ("KORVA_TRACK(x, y, buttons);"), 'W' wheel ("KORVA_WHEEL(x, y, notches);", notches -127 to
//   127 but not 0) and 'H' held key ("KORVA_HOLD(key, down);"); their button,
//   buttons or key must be one such an event can carry, else the line is none. Anything
//   else, or a line of fewer than seven characters, is not a script line. Whether a command line is
//   played at all is the player's choice, not the reader's.
// - A number is found by skipping to the first digit or '-' (for 'P' to the first digit:
//   a '-' is skipped like any other character) and taking the run of such characters that
//   starts there. For 'C' a '-' counts as for 'M', so a negative id stays negative and is
//   refused by the player rather than read as some other command. The run is converted as
//   an optional leading '-' and the digits after it, up to the first other character: "5-3"
//   is 5, "--5" and "-" are 0.
//
// Rules of our own for lines the recorder never writes, so that no file can make the
// player misbehave:
// - Only the first 11 characters of a run are converted, as the player always has; the
//   rest of a longer run is passed over, and the next number is looked for after the whole
//   run. So a long run never spills into the next field.
// - A value beyond the 32-bit range becomes INT32_MAX or INT32_MIN.
// - A number the line does not have is 0 ('M' with only one number: y is 0), and the
//   search stops at the line's end.
// - The line ends at its first NUL or line feed. A carriage return, any other control
//   character and any byte above 127 is an ordinary non-digit.
#include "korva/platform/script_line.h"

#include "korva/platform/key_codes.h"

#include <stdio.h>

static bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

static bool in_run(char c, bool minus_allowed) {
    return is_digit(c) || (minus_allowed && c == '-');
}

static size_t line_length(const char* line, size_t size) {
    size_t n = 0;
    while (n < size && line[n] != '\0' && line[n] != '\n') ++n;
    return n;
}

static int32_t convert_run(const char* run, size_t length) {
    if (length > SCRIPT_NUMBER_MAX_CHARS) length = SCRIPT_NUMBER_MAX_CHARS;
    size_t i = 0;
    bool negative = false;
    if (i < length && run[i] == '-') {
        negative = true;
        ++i;
    }
    // At most 11 digits: far inside 64 bits, so this cannot overflow.
    int64_t value = 0;
    for (; i < length && is_digit(run[i]); ++i) value = value * 10 + (run[i] - '0');
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Takes the next number from *pos on and leaves *pos after its run; 0 when none is left.
static int32_t next_number(const char* line, size_t length, size_t* pos, bool minus_allowed) {
    size_t i = *pos;
    while (i < length && !in_run(line[i], minus_allowed)) ++i;
    size_t start = i;
    while (i < length && in_run(line[i], minus_allowed)) ++i;
    *pos = i;
    return start < length ? convert_run(line + start, i - start) : 0;
}

static int8_t low_byte(int32_t value) {
    int32_t b = static_cast<int32_t>(static_cast<uint32_t>(value) & 0xFFu);
    return static_cast<int8_t>(b >= 128 ? b - 256 : b);
}

ScriptLine parse_script_line(const char* line, size_t size) {
    ScriptLine result{KORVA_NONE, 0, 0, 0, 0, 0};
    const size_t kind_index = 6;
    size_t length = line_length(line, size);
    if (length <= kind_index) return result;

    size_t pos = kind_index;
    switch (line[kind_index]) {
    case 'M':
        result.kind = KORVA_MOUSE;
        result.x = next_number(line, length, &pos, true);
        result.y = next_number(line, length, &pos, true);
        break;
    case 'K':
        result.kind = KORVA_KBD;
        result.key = low_byte(next_number(line, length, &pos, true));
        break;
    case 'P':
        result.kind = KORVA_PERIODIC;
        result.count = next_number(line, length, &pos, false);
        break;
    case 'C':
        result.kind = SCRIPT_COMMAND;
        result.command = next_number(line, length, &pos, true);
        break;
    case 'N':
        result.kind = SCRIPT_NOW;
        result.x = next_number(line, length, &pos, true);
        break;
    case 'R':
        result.kind = SCRIPT_RANDOM;
        result.x = next_number(line, length, &pos, true);
        result.y = next_number(line, length, &pos, true);
        break;
    // The lines of switched-on kinds carry only values the events can have: one button, a set of
    // buttons, a key of the held-key table. Any other value makes the line no script line.
    case 'B': {
        result.x = next_number(line, length, &pos, true);
        result.y = next_number(line, length, &pos, true);
        int32_t button = next_number(line, length, &pos, true);
        if (button != KORVA_BUTTON_LEFT && button != KORVA_BUTTON_RIGHT && button != KORVA_BUTTON_MIDDLE)
            return ScriptLine{KORVA_NONE, 0, 0, 0, 0, 0};
        result.key = static_cast<int8_t>(button);
        result.kind = next_number(line, length, &pos, true) != 0 ? KORVA_BUTTON_DOWN : KORVA_BUTTON_UP;
        break;
    }
    case 'T': {
        result.kind = KORVA_MOTION;
        result.x = next_number(line, length, &pos, true);
        result.y = next_number(line, length, &pos, true);
        int32_t buttons = next_number(line, length, &pos, true);
        if (buttons < 0 || buttons > (KORVA_BUTTON_LEFT | KORVA_BUTTON_RIGHT | KORVA_BUTTON_MIDDLE))
            return ScriptLine{KORVA_NONE, 0, 0, 0, 0, 0};
        result.key = static_cast<int8_t>(buttons);
        break;
    }
    case 'W': {
        result.kind = KORVA_WHEEL;
        result.x = next_number(line, length, &pos, true);
        result.y = next_number(line, length, &pos, true);
        int32_t notches = next_number(line, length, &pos, true);
        if (notches == 0 || notches < -127 || notches > 127) return ScriptLine{KORVA_NONE, 0, 0, 0, 0, 0};
        result.key = static_cast<int8_t>(notches);
        break;
    }
    case 'H': {
        int32_t key = next_number(line, length, &pos, true);
        if (!is_held_key_code(key)) return ScriptLine{KORVA_NONE, 0, 0, 0, 0, 0};
        result.key = static_cast<int8_t>(key);
        result.kind = next_number(line, length, &pos, true) != 0 ? KORVA_KEY_PRESS : KORVA_KEY_RELEASE;
        break;
    }
    default:
        break;
    }
    return result;
}

struct ScriptLineFormat {
    int32_t kind;
    const char* format;  // takes `first` and `second`; a format with one %d ignores `second`
};

static const ScriptLineFormat SCRIPT_LINE_FORMATS[] = {
    {KORVA_MOUSE, "KORVA_MOUSE(%d, %d);\n"},
    {KORVA_KBD, "KORVA_KBD(%d);\n"},
    {KORVA_PERIODIC, "KORVA_PERIODIC(%d);\n"},
    {SCRIPT_COMMAND, "KORVA_COMMAND(%d);\n"},
    {SCRIPT_NOW, "KORVA_NOW(%d);\n"},
    {SCRIPT_RANDOM, "KORVA_RANDOM(%d, %d);\n"},
};

int format_script_line(int32_t kind, int32_t first, int32_t second, char* out, size_t size) {
    if (size == 0) return 0;
    out[0] = '\0';
    for (const ScriptLineFormat& f : SCRIPT_LINE_FORMATS) {
        if (f.kind != kind) continue;
        int n = snprintf(out, size, f.format, static_cast<int>(first), static_cast<int>(second));
        if (n < 0) {
            out[0] = '\0';
            return 0;
        }
        return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
    }
    return 0;
}

int format_event_line(int32_t kind, int32_t x, int32_t y, int32_t key, char* out, size_t size) {
    if (size == 0) return 0;
    out[0] = '\0';
    int n = -1;
    switch (kind) {
    case KORVA_BUTTON_DOWN:
    case KORVA_BUTTON_UP:
        n = snprintf(out, size, "KORVA_BUTTON(%d, %d, %d, %d);\n", static_cast<int>(x), static_cast<int>(y),
                     static_cast<int>(key), kind == KORVA_BUTTON_DOWN ? 1 : 0);
        break;
    case KORVA_MOTION:
        n = snprintf(out, size, "KORVA_TRACK(%d, %d, %d);\n", static_cast<int>(x), static_cast<int>(y),
                     static_cast<int>(key));
        break;
    case KORVA_WHEEL:
        n = snprintf(out, size, "KORVA_WHEEL(%d, %d, %d);\n", static_cast<int>(x), static_cast<int>(y),
                     static_cast<int>(key));
        break;
    case KORVA_KEY_PRESS:
    case KORVA_KEY_RELEASE:
        n = snprintf(out, size, "KORVA_HOLD(%d, %d);\n", static_cast<int>(key), kind == KORVA_KEY_PRESS ? 1 : 0);
        break;
    default:
        return format_script_line(kind, x, y, out, size);
    }
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}
