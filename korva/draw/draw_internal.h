// Helpers shared by the drawing files: the out-of-line mark, the library's font, the point size correction with
// its messages, and the movable block that carries a text to the executor.
#ifndef KORVA_DRAW_DRAW_INTERNAL_H
#define KORVA_DRAW_DRAW_INTERNAL_H

#include <windows.h>

#include <stdint.h>

// Keeps a rarely taken path out of line, so that the usual path of its caller needs no frame.
#if defined(__GNUC__)
#define KORVA_OUT_OF_LINE __attribute__((noinline))
#elif defined(_MSC_VER)
#define KORVA_OUT_OF_LINE __declspec(noinline)
#else
#define KORVA_OUT_OF_LINE
#endif

// The font of every text call: -ptsize high (0 asks for the default), weight 400, "KORVA-font".
HFONT create_korva_font(int32_t ptsize);

// Writes the point size messages (negative first, then above 127) and returns the size to use.
int32_t corrected_ptsize(int32_t ptsize);

// Said on the console when a text block cannot be made.
constexpr char NO_TEXT_MEMORY_MESSAGE[] = "Not enough memory for a text of %llu characters; nothing %s.\n";

#endif
