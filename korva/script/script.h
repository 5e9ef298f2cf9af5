// The script recorder and player over the shared file slot "KORVA.SCR".
#ifndef KORVA_SCRIPT_SCRIPT_H
#define KORVA_SCRIPT_SCRIPT_H

#include <stdint.h>

#include "korva/korva.h"

extern const char* const SCRIPT_FILE_NAME;  // "KORVA.SCR"

// Writes the line for a MOUSE, KBD or PERIODIC event; opens the file for writing when needed.
void record_event(int32_t kind, EventRecord event);

// Writes a menu command's line; opens the file for writing when needed. Only
// record_menu_command (script_commands.h) calls it, for the commands a script may hold.
void record_command(int32_t id);

// Puts the next script event into the state's event; 1 when it did, 0 when playback ends.
int play_event();

// Clears both playback flags and the Playback Script check mark; the file stays open.
void stop_playback();

// Closes the script file if one is open.
void close_script();

// Switches recording on or off as the Record Script command does.
void toggle_recording();

// Switches continuous playback on or off as the Playback Script command does.
void toggle_playback();

// Asks for one script event at the next wait, as the Play One Script command does.
void request_play_one();

#endif
