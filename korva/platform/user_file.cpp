// Paths a program gives, read as it most likely meant them, and what lies at them.
#include "korva/platform/user_file.h"

#include <windows.h>

#include <stdlib.h>

// `path` in one code page, or null when it is not valid there.
static wchar_t* widen(const char* path, UINT code_page, DWORD flags) {
    int length = MultiByteToWideChar(code_page, flags, path, -1, nullptr, 0);
    if (length <= 0) return nullptr;
    wchar_t* wide = static_cast<wchar_t*>(malloc(static_cast<size_t>(length) * sizeof(wchar_t)));
    if (wide != nullptr) MultiByteToWideChar(code_page, flags, path, -1, wide, length);
    return wide;
}

// Beyond 260 characters only an absolute path under the \\?\ prefix reaches the file.
static wchar_t* lift_length_limit(wchar_t* wide) {
    if (wide == nullptr || wcslen(wide) < MAX_PATH || wcsncmp(wide, L"\\\\?\\", 4) == 0) return wide;
    DWORD full = GetFullPathNameW(wide, 0, nullptr, nullptr);
    wchar_t* longer = full > 0 ? static_cast<wchar_t*>(malloc((full + 8) * sizeof(wchar_t))) : nullptr;
    if (longer != nullptr) {
        wcscpy(longer, L"\\\\?\\");
        DWORD written = GetFullPathNameW(wide, full, longer + 4, nullptr);
        if (written == 0 || written >= full) {
            free(longer);
            longer = nullptr;
        } else {
            // Under that prefix the path is taken as it stands: every separator a backslash.
            for (wchar_t* c = longer + 4; *c != L'\0'; ++c)
                if (*c == L'/') *c = L'\\';
        }
    }
    free(wide);
    return longer;
}

static bool plain_ascii(const char* path) {
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(path); *c != 0; ++c)
        if (*c >= 0x80) return false;
    return true;
}

wchar_t* user_file_path(const char* path) {
    if (plain_ascii(path)) return lift_length_limit(widen(path, CP_ACP, 0));
    wchar_t* as_utf8 = lift_length_limit(widen(path, CP_UTF8, MB_ERR_INVALID_CHARS));
    if (as_utf8 != nullptr && user_file_problem(as_utf8) != USER_FILE_MISSING) return as_utf8;
    wchar_t* as_ansi = lift_length_limit(widen(path, CP_ACP, 0));
    if (as_ansi == nullptr || (as_utf8 != nullptr && user_file_problem(as_ansi) == USER_FILE_MISSING)) {
        free(as_ansi);
        return as_utf8;
    }
    free(as_utf8);
    return as_ansi;
}

const char* user_file_problem(const wchar_t* wide) {
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? USER_FILE_FOLDER : nullptr;
    DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) return "the file cannot be read (no permission)";
    // A pipe or a device is listed in its folder, but has no attributes of a file (Wine answers
    // for them with an invalid parameter).
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide, &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return USER_FILE_NOT_REGULAR;
    }
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
        return USER_FILE_MISSING;
    return "the file cannot be reached";
}
