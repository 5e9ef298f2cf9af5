// The script recorder and player over the shared file slot "KORVA.SCR".
#ifndef KORVA_SCRIPT_SCRIPT_H
#define KORVA_SCRIPT_SCRIPT_H

#include <stdint.h>

#include "korva/korva.h"

extern const char* const SCRIPT_FILE_NAME;  // "KORVA.SCR"

// Writes the line for a MOUSE, KBD or PERIODIC event; opens the file for writing when needed.
void record_event(int32_t kind, EventRecord event);

// Writes a menu command's line; opens the file for writing when needed. Only the opt-in
// recording of command lines calls it, for the commands a script may hold.
void record_command(int32_t id);

// What the player's reading of the next line came to.
enum PlayResult : int32_t {
    PLAY_ENDED = 0,    // no event: playback has ended
    PLAY_EVENT = 1,    // the next script event is the state's event
    PLAY_COMMAND = 2,  // a menu command line, which the caller runs; the next call reads on
};

// A value the program was given besides its events (SCRIPT_NOW, SCRIPT_RANDOM): while recording,
// written after the current event's line, with the periodic run counted so far before it.
void record_value(int32_t kind, int32_t first, int32_t second);

// While the script is open for reading and no periodic run is still being handed out: the next
// line, when it is a value line of this kind (true, its numbers in first and second, and the
// line consumed). Otherwise the file stays where it was and false is returned.
bool play_value(int32_t kind, int32_t* first, int32_t* second);

// Reads the next script event from `file_name` into the state's event. Menu command lines are
// handed back (PLAY_COMMAND, their id in `command`) when `command_lines` is set; otherwise
// they are no script lines, and end playback. With `end_is_normal` (a replay, which ends at
// the end of its script) the end-of-file line is kept in the console but not echoed.
PlayResult play_event(const char* file_name, bool command_lines, bool end_is_normal, int32_t* command);

// Clears both playback flags and the Playback Script check mark; the file stays open.
void stop_playback();

// Closes the script file if one is open.
void close_script();

// Switches recording off, as the Record Script command does when it is on: a pending periodic
// count is written and the file closed. Nothing when recording is off.
void end_recording();

// Switches recording on or off as the Record Script command does.
void toggle_recording();

// Switches continuous playback on or off as the Playback Script command does.
void toggle_playback();

// Asks for one script event at the next wait, as the Play One Script command does.
void request_play_one();

#endif
