// The temporary folder a replay runs in, and whole-file reads and writes. Win32.
#ifndef KORVA_TOOLS_WORK_FOLDER_H
#define KORVA_TOOLS_WORK_FOLDER_H

#include <stdint.h>

#include <string>
#include <vector>

// Makes a new, empty folder under the system's temporary folder; empty string on failure.
std::string make_work_folder();

// Removes the folder's files and then the folder itself (the program may have left some);
// false when the folder is still there.
bool remove_work_folder(const std::string& folder);

// The absolute form of a path given on the command line; empty when it has none.
std::string full_path(const char* path);

// True when the path names an existing file (not a folder).
bool is_file(const std::string& path);

// True when the path names an existing folder.
bool is_folder(const std::string& path);

// The largest script or picture the harness reads.
constexpr uint64_t MAX_FILE_BYTES = 64u << 20;

// Reads a whole regular file of at most MAX_FILE_BYTES. Null when it was read; else what stood
// in the way, as a few words for a message ("a directory", "larger than ...").
const char* read_whole_file(const std::string& path, std::vector<uint8_t>* out);

// Writes a whole file beside the old one and replaces it in one step; false when it cannot be
// written, and then the old file is untouched and no new file is left behind.
bool write_whole_file(const std::string& path, const std::vector<uint8_t>& bytes);

#endif
