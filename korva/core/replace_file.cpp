// A whole file written beside its target and moved into its place in one step, so a full disk
// or a failed write leaves the user's old file as it was.
#include "korva/core/replace_file.h"

#include <windows.h>

#include <stdio.h>

// A name beside the target that no other writer uses: this process, and a count of its own.
static bool make_temporary_name(const char* path, char* out, size_t size) {
    static LONG counter = 0;
    LONG n = InterlockedIncrement(&counter);
    int length = snprintf(out, size, "%s.%lu-%ld.tmp", path, static_cast<unsigned long>(GetCurrentProcessId()),
                          static_cast<long>(n));
    return length > 0 && static_cast<size_t>(length) < size;
}

static bool write_pieces(HANDLE file, const FilePiece* pieces, int count) {
    for (int i = 0; i < count; ++i) {
        const char* bytes = static_cast<const char*>(pieces[i].bytes);
        size_t left = pieces[i].size;
        while (left > 0) {
            DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
            DWORD written = 0;
            if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
            bytes += written;
            left -= written;
        }
    }
    // On disk before it takes the old file's place, so a crash cannot leave a short file there.
    return FlushFileBuffers(file) != 0;
}

bool replace_file(const char* path, const FilePiece* pieces, int count) {
    if (path == nullptr || path[0] == '\0') return false;
    char temporary[MAX_PATH * 4];
    if (!make_temporary_name(path, temporary, sizeof temporary)) return false;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = write_pieces(file, pieces, count);
    if (!CloseHandle(file)) written = false;
    if (written && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileA(temporary);
    return false;
}
