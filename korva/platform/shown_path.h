// A path as a console line shows it: whole when it is short, else its start and its end, so that
// the reason after it still fits the line. Platform-free.
#ifndef KORVA_PLATFORM_SHOWN_PATH_H
#define KORVA_PLATFORM_SHOWN_PATH_H

#include <stddef.h>

// Paths up to this many characters are shown whole.
constexpr size_t SHOWN_PATH_MAX = 400;
constexpr size_t SHOWN_PATH_SIZE = SHOWN_PATH_MAX + 1;

// `path` itself when it has at most SHOWN_PATH_MAX characters; else `out`, holding its first and
// its last characters with "..." between them, SHOWN_PATH_MAX characters in all.
const char* shown_path(const char* path, char (&out)[SHOWN_PATH_SIZE]);

#endif
