// Movable global memory blocks holding one NUL-terminated text: console lines and the
// temporary copies that text drawing and measuring hand to the executor.
#ifndef KORVA_BASE_TEXT_BLOCK_H
#define KORVA_BASE_TEXT_BLOCK_H

#include <windows.h>

#include <stddef.h>

// A new movable block of exactly n + 1 bytes: the first n characters of text and a NUL.
// Null, with nothing allocated, when the block cannot be made.
HGLOBAL new_text_block(const char* text, size_t n);

#endif
