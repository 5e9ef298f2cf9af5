// The program's GUI entry routine: keeps the start-up values and runs the application.
// It lives in the library so that every program written against korva.h gets it.
#include "korva/base/state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line, int show_command) {
    korva_state.instance = instance;
    korva_state.previous_instance = previous_instance;
    korva_state.command_line = command_line;
    korva_state.show_command = show_command;
    return room_main();
}
