// The replay's temporary folder and plain file reading and writing.
#include "work_folder.h"

#include "korva/platform/replace_file.h"

#include <windows.h>

#include <stdio.h>

std::string make_work_folder() {
    char temp[MAX_PATH + 1];
    // A runner that removes a folder of its own whatever happens (korva-run, even when the
    // harness is ended from outside) names it here, so no work folder can outlive the run.
    DWORD length = GetEnvironmentVariableA("KORVA_REPLAY_WORK", temp, MAX_PATH - 1);
    if (length > 0 && length < MAX_PATH - 1) {
        if (temp[length - 1] != '\\' && temp[length - 1] != '/') {
            temp[length++] = '\\';
            temp[length] = '\0';
        }
    } else {
        length = GetTempPathA(sizeof temp, temp);
    }
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

bool remove_work_folder(const std::string& folder) {
    if (folder.empty()) return true;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(folder.c_str()) != 0;
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

bool is_folder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// MAX_FILE_BYTES is far above any canvas (under 1 MB), and far below what would exhaust memory.
// A pipe or a device is refused before it is read: it has no end to read to, or gives what
// was never a file.
const char* read_whole_file(const std::string& path, std::vector<uint8_t>* out) {
    out->clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "a directory";
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "no such file" : "cannot be opened";
    }
    const char* why = nullptr;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        why = "not a regular file (a pipe or a device)";
    } else if (!GetFileSizeEx(file, &size)) {
        why = "cannot be read";
    } else if (static_cast<uint64_t>(size.QuadPart) > MAX_FILE_BYTES) {
        why = "larger than the 64 MB the harness reads";
    } else {
        out->resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (done < out->size()) {
            DWORD got = 0;
            DWORD chunk = static_cast<DWORD>(out->size() - done < (1u << 20) ? out->size() - done : (1u << 20));
            if (!ReadFile(file, out->data() + done, chunk, &got, nullptr) || got == 0) break;
            done += got;
        }
        // A file that shrank while it was read is what it now is; one that cannot be read is not.
        if (done < out->size()) why = "cannot be read";
    }
    CloseHandle(file);
    if (why != nullptr) out->clear();
    return why;
}

bool write_whole_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    const FilePiece piece{bytes.data(), bytes.size()};
    return replace_file(path.c_str(), &piece, 1);
}
