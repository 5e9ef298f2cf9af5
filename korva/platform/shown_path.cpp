// Long paths cut in the middle for a console line: the folder they start in and the name they
// end with are what a person recognises.
#include "korva/platform/shown_path.h"

#include <string.h>

const char* shown_path(const char* path, char (&out)[SHOWN_PATH_SIZE]) {
    const size_t length = strlen(path);
    if (length <= SHOWN_PATH_MAX) return path;
    const size_t head = (SHOWN_PATH_MAX - 3) / 2, tail = SHOWN_PATH_MAX - 3 - head;
    memcpy(out, path, head);
    memcpy(out + head, "...", 3);
    memcpy(out + head + 3, path + length - tail, tail);
    out[SHOWN_PATH_MAX] = '\0';
    return out;
}
