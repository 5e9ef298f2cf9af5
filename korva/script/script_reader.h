// The player's reading of the script file: the next line of an open stream, piece by piece.
// Platform-free (stdio only), so it is fuzzed natively on the bytes of a whole file.
#ifndef KORVA_SCRIPT_SCRIPT_READER_H
#define KORVA_SCRIPT_SCRIPT_READER_H

#include <stdio.h>

// Reads the next line that is not empty into `line` (at most size - 1 characters: a longer
// line comes in pieces, one per call; NULs are kept as read); false at the end of the file.
// A last line without a line end sets the end-of-file indicator and so counts as the end,
// and so does a read error.
bool read_script_line(FILE* file, char* line, int size);

#endif
