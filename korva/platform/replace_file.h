// Writing a whole file so that the file it replaces is never lost: the bytes go to a new file
// beside the target, which then takes the target's place in one step.
#ifndef KORVA_PLATFORM_REPLACE_FILE_H
#define KORVA_PLATFORM_REPLACE_FILE_H

#include <stddef.h>

struct FilePiece {
    const void* bytes;
    size_t size;
};

// Writes the pieces in order as the whole content of `path`. True when the new content is in
// place; false when anything failed, and then the old file (if any) is exactly as it was and
// no new file is left behind.
bool replace_file(const char* path, const FilePiece* pieces, int count);

#endif
