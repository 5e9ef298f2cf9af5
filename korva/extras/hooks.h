// Where the opt-in extensions take part in the library: the table of hooks that the graphics
// window procedure asks for every message, and the fixed points of open, close, the wait and
// the menu that hand over to them. The library calls only these, and they are all defined in
// hooks.cpp, so adding an extension adds rows and lines there and nothing in the library. With
// every extension off, each point does what the library does without them. (The prompt is
// answered through the state's answer_prompt, since the console lies below the extensions.)
#ifndef KORVA_EXTRAS_HOOKS_H
#define KORVA_EXTRAS_HOOKS_H

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

// Before the window procedure's own handling of the message, or after it (and before the
// default procedure, for a message that the procedure leaves to it).
enum HookPhase : uint8_t { HOOK_BEFORE, HOOK_AFTER };

struct WindowHook {
    UINT message;
    HookPhase phase;
    // True when the hook takes the message: the procedure returns 0 and no later hook, nor the
    // default procedure, sees it.
    bool (*take)(UINT message, WPARAM wparam, LPARAM lparam);
};

extern const WindowHook WINDOW_HOOKS[];
extern const size_t WINDOW_HOOK_COUNT;

// Open and close.
void extensions_open_begins();      // before anything of the open is made
void extensions_forget_last_run();  // an open after a close: the extensions start switched off
void extensions_open_ends();        // the windows, canvas and timer exist
void extensions_close_begins();     // the canvas is still there
void extensions_close_ends();       // the script is closed; what the extensions hold is freed

// How a frame rate paces one pass of the wait's loop.
enum PacedPass : int32_t {
    PACE_OFF,      // no frame rate: the library's own pass, periodic events counted by messages
    PACE_IDLE,     // a frame rate, but no frames now (halted, or a script plays): messages only
    PACE_MESSAGE,  // a message is waiting, and the frame's time has not come first
    PACE_FRAME,    // the next frame's time has come with no message waiting
};

// The wait.
void extensions_wait_begins();       // a fresh event: an extension may make it at once
PacedPass extensions_paced_pass();   // with a frame rate, blocks for a message or the frame
bool extensions_take_due_frame();    // the frame's time has come: it is taken for the event
bool extensions_take_messages();     // true when an extension took the pass's messages
bool extensions_live_periodic_allowed();  // the program's own animation may make events
void extensions_playback_ended();    // the player found no event to give
void extensions_event_ready();       // the event is made; the recorder has not yet seen it
void extensions_wait_returns(int32_t kind, char key);  // the event the wait hands out
void extensions_animation_halted();  // KORVA_animate(ANIMATE_HALT)

// The menu: a command is about to run (from the menu, a shortcut or a script line).
void extensions_menu_command_runs(int32_t id);

// What the wait asks before it has the player read on, and what it asks of a command line read.
const char* extensions_script_file_name();  // the file to play
bool extensions_command_lines_played();     // menu command lines are played, not refused
// What the player asks at the end of the file: true when that is the run's normal end (a
// replay), so its console line is kept but not echoed as if something were wrong.
bool extensions_script_end_is_normal();

// What a menu command line that the player read comes to.
enum CommandPlay : int32_t {
    COMMAND_MAKES_EVENT,  // run it: it makes the request's event (enter, leave, quit)
    COMMAND_APPLIES,      // run it: it changes the library's state only; the next line is read
    COMMAND_REFUSED,      // no command a script may hold (reported): playback ends at the line
};
CommandPlay extensions_play_command_line(int32_t id);

#endif
