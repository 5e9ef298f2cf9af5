// Files a program loads by a relative name are looked for beside it too. Win32.
#ifndef KORVA_EXTRAS_PROGRAM_FOLDER_H
#define KORVA_EXTRAS_PROGRAM_FOLDER_H

#include <stddef.h>

// Whether a path names no drive and does not start at a root.
bool is_relative(const char* path);

// The name in the program's own folder; false when it does not fit.
bool path_beside_program(const char* path, char* out, size_t size);

#endif
