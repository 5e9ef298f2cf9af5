// The commands of the "&Run" menu that act on the program (all but those of the script recorder
// and player), for the menu and for a script's command lines.
#ifndef KORVA_CORE_COMMANDS_H
#define KORVA_CORE_COMMANDS_H

#include <stdint.h>

// Runs the command with this id; the script's own commands and ids without an item do nothing.
void run_program_command(int32_t id);

#endif
