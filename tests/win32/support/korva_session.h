// Shared helpers of the Windows tests: one opened library per test process, and
// small ways to drive it through real messages.
#ifndef KORVA_TESTS_SUPPORT_KORVA_SESSION_H
#define KORVA_TESTS_SUPPORT_KORVA_SESSION_H

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "korva/base/state.h"

// Opens the library the first time it is called in this process (as the entry routine
// would, with this module's instance and SW_SHOWNORMAL); later calls do nothing.
void open_korva_once();

// Takes and dispatches, without waiting, every message already queued for this thread.
void drain_messages();

// The console ring's lines, oldest first.
std::vector<std::string> console_lines();

// Empties the console ring (frees its blocks), so a test sees only its own lines.
void clear_console();

// Reads a whole file; empty when it cannot be read.
std::string read_file(const char* path);

// Writes `bytes` as the whole file (binary: line ends stay as given); a test assertion fails
// when the file cannot be made.
void write_file(const char* path, const std::string& bytes);

// The header of a top-down 32-bit DIB of the given size, and of the canvas's size.
BITMAPINFO top_down_dib_info(int width, int height);
BITMAPINFO canvas_bitmap_info();

// The window's client area as it is on the screen, as 0x00RRGGBB values, row by row from the
// top; its size goes to width and height.
std::vector<uint32_t> window_client_pixels(HWND window, int* width, int* height);

// The whole canvas as 0x00RRGGBB values, row by row from the top.
std::vector<uint32_t> canvas_pixels();

// The names in the working directory, sorted, so that a test can see that nothing was left behind.
std::vector<std::string> directory_names();

// The top-level windows of a class that belong to this process, visible or not.
int own_windows_of_class(const char* class_name);

// Puts pixels read by canvas_pixels back on the canvas.
void set_canvas_pixels(const std::vector<uint32_t>& pixels);

#endif
