// The "&Run" menu: the routines that build it and run its commands (their ids in command_ids.h).
#ifndef KORVA_CORE_MENU_H
#define KORVA_CORE_MENU_H

#include <windows.h>

#include <stdint.h>

#include "korva/base/command_ids.h"

// Builds the menu bar with its "&Run" popup on the window and stores the popup in run_menu.
void build_run_menu(HWND window);

// Runs one menu command; ids without an item do nothing.
void run_menu_command(int32_t id);

#endif
