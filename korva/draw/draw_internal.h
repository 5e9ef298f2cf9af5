// Helpers shared by the drawing files (and the game helpers): the out-of-line mark, the library's
// font, the point size and radius corrections with their messages, and the text memory message.
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

// Write the correction messages and return the size to use: the point size (negative first,
// then above 127) and the radius (negative).
int32_t corrected_ptsize(int32_t ptsize);
int32_t corrected_radius(int32_t radius);

// Said on the console when a text block cannot be made.
constexpr char NO_TEXT_MEMORY_MESSAGE[] = "Not enough memory for a text of %llu characters; nothing %s.\n";

#endif
