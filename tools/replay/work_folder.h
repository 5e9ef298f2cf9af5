// The temporary folder a replay runs in, and whole-file reads and writes. Win32.
#ifndef KORVA_TOOLS_WORK_FOLDER_H
#define KORVA_TOOLS_WORK_FOLDER_H

#include <stdint.h>

#include <string>
#include <vector>

// Makes a new, empty folder under the system's temporary folder; empty string on failure.
std::string make_work_folder();

// Removes the folder's files and then the folder itself (the program may have left some).
void remove_work_folder(const std::string& folder);

// The absolute form of a path given on the command line; empty when it has none.
std::string full_path(const char* path);

// True when the path names an existing file (not a folder).
bool is_file(const std::string& path);

// Reads a whole file; false when it cannot be read or is larger than 64 MB.
bool read_whole_file(const std::string& path, std::vector<uint8_t>* out);

// Writes a whole file beside the old one and replaces it in one step; false when it cannot be
// written, and then the old file is untouched and no new file is left behind.
bool write_whole_file(const std::string& path, const std::vector<uint8_t>& bytes);

#endif
