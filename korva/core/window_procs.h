// The window procedures of the library's two window classes: the graphics window's, and the
// console's (which the console owns).
#ifndef KORVA_CORE_WINDOW_PROCS_H
#define KORVA_CORE_WINDOW_PROCS_H

#include <windows.h>

#include "korva/console/console_window.h"

LRESULT CALLBACK graphics_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#endif
