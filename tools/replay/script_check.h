// Whether a file would replay anything at all: the player's reading of its first line, before a
// program is started on it. Platform-free.
#ifndef KORVA_TOOLS_SCRIPT_CHECK_H
#define KORVA_TOOLS_SCRIPT_CHECK_H

#include <stddef.h>
#include <stdint.h>

// True when the player, reading the bytes as the script file, would play at least one line: the
// first line that is not empty is a script line and ends with a line feed. The file is read in
// the platform's text mode, as the player reads it: a Ctrl-Z byte (0x1A) ends it, and a carriage
// return before a line feed is dropped.
bool script_plays_a_line(const uint8_t* bytes, size_t size);

#endif
