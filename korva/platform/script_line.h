// One line of the script file "KORVA.SCR": reading it as the player does, and writing it
// as the recorder does. Platform-free, so it is unit-tested and fuzzed natively.
#ifndef KORVA_PLATFORM_SCRIPT_LINE_H
#define KORVA_PLATFORM_SCRIPT_LINE_H

#include <stddef.h>
#include <stdint.h>

#include "korva/korva.h"

// The player reads a line into a buffer of this size, so one read takes at most 511 characters.
constexpr size_t SCRIPT_LINE_BUFFER_SIZE = 512;

// A number on a line is taken from at most this many characters.
constexpr size_t SCRIPT_NUMBER_MAX_CHARS = 11;

// Big enough for the longest line the recorder writes, with its terminating NUL.
constexpr size_t SCRIPT_LINE_FORMAT_SIZE = 64;

// The kind of a menu command line, "KORVA_COMMAND(%d);\n". It is no event kind: the command
// it names makes the event, or none. Only a program that asks for such lines plays them.
constexpr int32_t SCRIPT_COMMAND = 100;

// Lines of what a program was given besides its events, written after the event in whose turn
// it asked and read back when it asks again: the clock's milliseconds, "KORVA_NOW(%d);\n", and
// the random generator's state, "KORVA_RANDOM(%d, %d);\n" (its high and low 32 bits). They are
// no event kinds either.
constexpr int32_t SCRIPT_NOW = 101;
constexpr int32_t SCRIPT_RANDOM = 102;

// What one line asks the player for.
struct ScriptLine {
    int32_t kind;     // KORVA_MOUSE, KORVA_KBD, KORVA_PERIODIC, SCRIPT_COMMAND, one of the
                      // switched-on kinds (KORVA_BUTTON_DOWN to KORVA_WHEEL), or KORVA_NONE:
                      // not a script line
                      // (button and motion lines: x and y as for a click, and key the button
                      // or the buttons held; held-key lines: key)
    int32_t x;        // KORVA_MOUSE: the first number; SCRIPT_NOW: the milliseconds;
                      // SCRIPT_RANDOM: the high 32 bits
    int32_t y;        // KORVA_MOUSE: the second number; SCRIPT_RANDOM: the low 32 bits
    int8_t key;       // KORVA_KBD: the low 8 bits of the number, as a signed value
    int32_t count;    // KORVA_PERIODIC: the number of periodic events on the line, 0 or more
    int32_t command;  // SCRIPT_COMMAND: the menu command id, any 32-bit value
};

// Reads one line. The line ends at its first NUL or line feed, or after `size` bytes,
// whichever comes first; nothing beyond that is read. Fields the kind does not use are 0.
ScriptLine parse_script_line(const char* line, size_t size);

// Writes the recorder's line for an event into `out` (NUL-terminated, cut to `size`) and
// returns its length. For KORVA_MOUSE `first` and `second` are x and y; for KORVA_KBD
// `first` is the key widened with its sign; for KORVA_PERIODIC `first` is the count; for
// SCRIPT_COMMAND `first` is the command id; for SCRIPT_NOW `first` is the milliseconds; for
// SCRIPT_RANDOM `first` and `second` are the state's high and low halves.
// Any other kind has no line: `out` becomes empty (when size > 0) and the result is 0.
int format_script_line(int32_t kind, int32_t first, int32_t second, char* out, size_t size);

// The line of an event of a switched-on kind (button, motion, held key) at (x, y) with its key
// (button, buttons held or key code), as format_script_line writes it; any other kind is given
// to format_script_line with x and y as its two values.
int format_event_line(int32_t kind, int32_t x, int32_t y, int32_t key, char* out, size_t size);

#endif
