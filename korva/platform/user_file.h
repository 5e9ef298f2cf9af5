// A file a program names by a path of its own: the path as the wide file calls take it, and
// whether it is a regular file there. Win32; shared by pictures and sounds.
#ifndef KORVA_PLATFORM_USER_FILE_H
#define KORVA_PLATFORM_USER_FILE_H

#include <wchar.h>

// The reason user_file_problem gives when nothing has that name (and only then); one object for
// the whole program, so the pointer itself tells.
inline constexpr char USER_FILE_MISSING[] = "no such file";
// Something other than a regular file has that name; a writer leaves it as it is.
inline constexpr char USER_FILE_FOLDER[] = "a directory";
inline constexpr char USER_FILE_NOT_REGULAR[] = "not a regular file (a pipe or a device)";

// The path for the wide file calls, in a new block (free it); null when it cannot be made. A name
// that is valid UTF-8 is read as UTF-8 (what a program's source and a Linux folder hold), unless
// only its reading in the platform's ANSI code page names an existing file. A long path becomes
// an absolute one with the prefix that lifts the 260-character limit.
wchar_t* user_file_path(const char* path);

// Null when `wide` names a regular file; else a few words for a message: USER_FILE_MISSING,
// USER_FILE_FOLDER, USER_FILE_NOT_REGULAR, "the file cannot be read (no
// permission)" or "the file cannot be reached".
const char* user_file_problem(const wchar_t* wide);

#endif
