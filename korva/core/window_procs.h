// The window procedures of the library's two window classes.
#ifndef KORVA_CORE_WINDOW_PROCS_H
#define KORVA_CORE_WINDOW_PROCS_H

#include <windows.h>

LRESULT CALLBACK graphics_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK text_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#endif
