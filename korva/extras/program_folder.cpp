// Files beside the program: a program started from another folder still finds its pictures and
// sounds.
#include "korva/extras/program_folder.h"

#include <windows.h>

#include <string.h>

bool is_relative(const char* path) {
    return !(path[0] == '\\' || path[0] == '/' || (path[0] != '\0' && path[1] == ':'));
}

bool path_beside_program(const char* path, char* out, size_t size) {
    DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
    if (length == 0 || length >= size) return false;
    char* slash = out + length;
    while (slash > out && slash[-1] != '\\' && slash[-1] != '/') --slash;
    size_t folder = static_cast<size_t>(slash - out);
    size_t name = lstrlenA(path);
    if (folder + name + 1 > size) return false;
    memcpy(slash, path, name + 1);
    return true;
}
