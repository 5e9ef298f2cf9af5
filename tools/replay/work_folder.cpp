// The replay's temporary folder and plain file reading and writing.
#include "work_folder.h"

#include "korva/core/replace_file.h"

#include <windows.h>

#include <stdio.h>

std::string make_work_folder() {
    char temp[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH) return std::string();
    // The process id and the tick count make a name no other harness running now uses;
    // should one exist, the next number is tried.
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        char name[MAX_PATH + 64];
        snprintf(name, sizeof name, "%skorva-replay-%lu-%lu", temp, static_cast<unsigned long>(GetCurrentProcessId()),
                 static_cast<unsigned long>(GetTickCount() + attempt));
        if (CreateDirectoryA(name, nullptr)) return name;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

void remove_work_folder(const std::string& folder) {
    if (folder.empty()) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string full_path(const char* path) {
    char full[4096];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return std::string();
    return full;
}

bool is_file(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Far above any canvas (under 1 MB), and far below what would exhaust memory.
static constexpr size_t MAX_FILE_BYTES = 64u << 20;

bool read_whole_file(const std::string& path, std::vector<uint8_t>* out) {
    out->clear();
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    static uint8_t buffer[65536];
    size_t got;
    bool ok = true;
    while (ok && (got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        out->insert(out->end(), buffer, buffer + got);
        if (out->size() > MAX_FILE_BYTES) ok = false;
    }
    if (ferror(file)) ok = false;
    fclose(file);
    return ok;
}

bool write_whole_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    const FilePiece piece{bytes.data(), bytes.size()};
    return replace_file(path.c_str(), &piece, 1);
}
