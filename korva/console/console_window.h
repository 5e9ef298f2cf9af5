// The console window's procedure, which start-up registers for the console's window class.
#ifndef KORVA_CONSOLE_CONSOLE_WINDOW_H
#define KORVA_CONSOLE_CONSOLE_WINDOW_H

#include <windows.h>

LRESULT CALLBACK text_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#endif
