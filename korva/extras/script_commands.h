// Menu commands as script lines: which commands a script may hold, the line the recorder
// writes when one runs, and what the player does with one. Opt-in: a program records them only
// when KORVA_RECORD_COMMANDS is 1, and plays them back then and in replay mode.
#ifndef KORVA_EXTRAS_SCRIPT_COMMANDS_H
#define KORVA_EXTRAS_SCRIPT_COMMANDS_H

#include <stdint.h>

#include "korva/extras/hooks.h"

// True for the commands that change what the program sees. Record Script, Playback Script
// and Play One Script steer the script itself and are never written or played, and ids
// without a menu item are none of these.
bool is_script_command(int32_t id);

// Whether the player runs command lines rather than ending playback at them.
bool command_lines_played();

// Before a menu command runs: while recording with the opt-in, writes
// the pending periodic run and then the command's line, so the file keeps the order of events.
void record_menu_command(int32_t id);

// Whether a command line's command is run, and whether it makes an event; a command no script
// may hold is reported and refused.
CommandPlay play_menu_command(int32_t id);

#endif
