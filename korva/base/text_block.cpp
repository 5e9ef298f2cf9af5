// Movable global memory blocks holding one NUL-terminated text.
#include "korva/base/text_block.h"

#include <string.h>

HGLOBAL new_text_block(const char* text, size_t n) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, n + 1);
    if (block == nullptr) return nullptr;
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(bytes, text, n);
    bytes[n] = '\0';
    GlobalUnlock(block);
    return block;
}
