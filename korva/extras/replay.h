// Replay mode: a run that plays a named script, ignores live input, ends by itself once the
// script ends, and leaves its final canvas in a file. Opt-in through the environment.
#ifndef KORVA_EXTRAS_REPLAY_H
#define KORVA_EXTRAS_REPLAY_H

// The environment variables that switch replay mode on and name the canvas file.
extern const char* const REPLAY_SCRIPT_VARIABLE;  // "KORVA_REPLAY"
extern const char* const REPLAY_CANVAS_VARIABLE;  // "KORVA_REPLAY_CANVAS"
extern const char* const RECORD_COMMANDS_VARIABLE;  // "KORVA_RECORD_COMMANDS"

// At the end of KORVA_open, the library's reading of its environment: whether menu commands
// go into scripts (KORVA_RECORD_COMMANDS), and whether a named script is replayed
// (KORVA_REPLAY, which starts continuous playback of it at once). With the variables unset or
// empty nothing changes.
void read_environment_choices();

// The file the player reads: the replayed script in replay mode, else "KORVA.SCR".
const char* script_file_name();

// The wait's pump in replay mode: handles every message already queued, without blocking,
// drops live mouse, keyboard and menu input, and copies a changed canvas to the window.
void pump_pending_messages();

// Playback has ended: the current wait and every later one return KORVA_EXIT.
void end_replay();

// At the start of KORVA_close: saves the canvas to the named file, if replay mode names one.
void save_replay_canvas();

// The prompt in replay mode has no one to answer it: true, with `destination` emptied,
// when the dialog is to be skipped.
bool replay_answers_prompt(const char* prompt, char* destination);

#endif
