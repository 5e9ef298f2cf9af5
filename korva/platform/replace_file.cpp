// A whole file written beside its target and moved into its place in one step, so a full disk
// or a failed write leaves the user's old file as it was.
#include "korva/platform/replace_file.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>

#include "korva/platform/user_file.h"

// The temporary name: the target's name, this process and a count of its own, then ".tmp",
// beside the target. When that would pass the path limit that the target keeps within, the
// target's own name is cut short in it, so a save never fails for the length of a name it made.
static LONG temporary_counter = 0;

static bool make_temporary_name(const wchar_t* path, wchar_t* out, size_t size) {
    LONG n = InterlockedIncrement(&temporary_counter);
    wchar_t tail[40];
    swprintf(tail, sizeof tail / sizeof tail[0], L".%lu-%ld.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<long>(n));
    size_t length = wcslen(path), tail_length = wcslen(tail);
    const wchar_t* name = path + length;
    while (name > path && name[-1] != L'\\' && name[-1] != L'/') --name;
    size_t keep = length;
    if (length < MAX_PATH && length + tail_length >= MAX_PATH) {
        size_t over = length + tail_length - (MAX_PATH - 1);
        size_t name_length = length - static_cast<size_t>(name - path);
        keep = over < name_length ? length - over : static_cast<size_t>(name - path);
    }
    if (keep + tail_length + 1 > size) return false;
    wmemcpy(out, path, keep);
    wmemcpy(out + keep, tail, tail_length + 1);
    return true;
}

// The process that wrote a temporary name of ours, or 0 when the name is not one: "<start of
// the target's name>.<pid>-<count>.tmp".
static bool digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

static DWORD writer_of(const wchar_t* file, const wchar_t* target_name) {
    size_t length = wcslen(file);
    if (length < 8 || _wcsicmp(file + length - 4, L".tmp") != 0) return 0;
    size_t end = length - 4, dash = end;
    while (dash > 0 && digit(file[dash - 1])) --dash;
    if (dash == end || dash == 0 || file[dash - 1] != L'-') return 0;
    size_t dot = dash - 1;
    while (dot > 0 && digit(file[dot - 1])) --dot;
    if (dot == dash - 1 || dot == 0 || file[dot - 1] != L'.') return 0;
    size_t prefix = dot - 1;
    if (prefix > wcslen(target_name) || _wcsnicmp(file, target_name, prefix) != 0) return 0;
    return static_cast<DWORD>(wcstoul(file + dot, nullptr, 10));
}

static bool process_runs(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// A save killed part-way leaves its temporary file. The next save of the same target removes
// those whose writer no longer runs and that have not been written for a while (so that a
// writer the platform cannot see, another session's, is left alone while it works).
constexpr ULONGLONG STALE_AFTER_100NS = 60ull * 10000000ull;

static void remove_stale_temporaries(const wchar_t* path) {
    const wchar_t* name = path + wcslen(path);
    while (name > path && name[-1] != L'\\' && name[-1] != L'/') --name;
    std::wstring pattern(path, static_cast<size_t>(name - path));
    const std::wstring folder = pattern;
    pattern += L"*.tmp";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now_time;
    GetSystemTimeAsFileTime(&now_time);
    const ULONGLONG now = (ULONGLONG{now_time.dwHighDateTime} << 32) | now_time.dwLowDateTime;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        DWORD writer = writer_of(found.cFileName, name);
        if (writer == 0 || writer == GetCurrentProcessId() || process_runs(writer)) continue;
        const ULONGLONG written =
            (ULONGLONG{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime;
        if (now > written && now - written < STALE_AFTER_100NS) continue;
        DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
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

static void keep_attributes(const wchar_t* path, DWORD kept) {
    const DWORD personal = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD now = GetFileAttributesW(path);
    if (now == INVALID_FILE_ATTRIBUTES || (now & personal) == (kept & personal)) return;
    SetFileAttributesW(path, ((now & ~personal) | (kept & personal)) & ~FILE_ATTRIBUTE_NORMAL);
}

// The path as the wide calls take it: a name that is valid UTF-8 names the file it spells, as
// for the files a program reads (user_file.h).
static bool write_and_replace(const wchar_t* path, const FilePiece* pieces, int count) {
    // A folder is never replaced: the platform's replacement would move it aside, contents and
    // all, and put the file in its place.
    const DWORD target = GetFileAttributesW(path);
    if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_DIRECTORY)) return false;
    wchar_t temporary[MAX_PATH * 4];
    if (!make_temporary_name(path, temporary, sizeof temporary / sizeof temporary[0])) return false;
    remove_stale_temporaries(path);
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = write_pieces(file, pieces, count);
    if (!CloseHandle(file)) written = false;
    if (written) {
        // Over an existing file, the platform's replacement keeps what belongs to the file rather
        // than its content (its creation time, its security); the attributes a person sets are
        // put back as well where the replacement does not carry them (Wine's does not).
        const DWORD kept = GetFileAttributesW(path);
        if (kept != INVALID_FILE_ATTRIBUTES &&
            ReplaceFileW(path, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            keep_attributes(path, kept);
            return true;
        }
        if (MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            if (kept != INVALID_FILE_ATTRIBUTES) keep_attributes(path, kept);
            return true;
        }
    }
    DeleteFileW(temporary);
    return false;
}

bool replace_file(const char* path, const FilePiece* pieces, int count) {
    if (path == nullptr || path[0] == '\0') return false;
    wchar_t* wide = user_file_path(path);
    if (wide == nullptr) return false;
    const bool replaced = write_and_replace(wide, pieces, count);
    free(wide);
    return replaced;
}
