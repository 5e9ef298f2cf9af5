// LibraryState: the one record of global state that the library's parts share.
// Every field says what it means and which parts write it. Win32 files only.
#ifndef KORVA_BASE_STATE_H
#define KORVA_BASE_STATE_H

#include <windows.h>

#include <stdint.h>
#include <stdio.h>

#include "korva/base/heroes.h"
#include "korva/korva.h"
#include "korva/platform/script_line.h"

constexpr int32_t CONSOLE_LINE_COUNT = 25;
constexpr UINT_PTR TICK_TIMER_ID = 2;
constexpr UINT TICK_PERIOD_MS = 50;
// Room for the paths that replay mode takes from the environment, with their NUL.
constexpr size_t REPLAY_PATH_SIZE = 1024;

// What the shared script slot was opened for; meaningful only while script_file is set.
enum ScriptMode : uint8_t { SCRIPT_CLOSED = 0, SCRIPT_WRITING = 1, SCRIPT_READING = 2 };

// Replay mode and command lines: read from the environment at KORVA_open
// (korva/extras/replay.cpp); all zero when the environment names none.
struct ReplayChoices {
    uint8_t active;               // a named script is being replayed; live input is dropped
    uint8_t over;                 // the script has ended: every wait returns KORVA_EXIT at once
    uint8_t failed;               // the script could not be opened: no canvas is saved at close
    uint8_t script_commands;      // menu commands are written to the script and played from it
                                  // (KORVA_RECORD_COMMANDS=1)
    char script[REPLAY_PATH_SIZE];  // the script played instead of "KORVA.SCR"
    char canvas[REPLAY_PATH_SIZE];  // where KORVA_close saves the canvas; empty for nowhere
};

// Timed animation (KORVA_frame_rate, korva/extras/frame_pace.cpp). Times are performance-counter
// counts.
struct FramePace {
    int32_t rate;                 // periodic events per second; 0: the message-counted pace
    uint8_t running;              // the schedule below is in use; cleared by a halt or a new rate
    int64_t anchor;               // time of frame 0 of the schedule
    int64_t index;                // the next frame is due at anchor + index / rate seconds
    int64_t last_due;             // when the last delivered frame was due, for lateness figures
    HANDLE timer;                 // waitable timer that wakes the wait at a frame's time
    int64_t timer_due;            // the frame time the timer is set for; 0: not set
};

// Keyboard events (KORVA_keyboard, korva/extras/keyboard.cpp).
struct KeyboardChoice {
    uint8_t events;               // typed keys become KORVA_KBD events
};

// The whole mouse (KORVA_mouse, korva/extras/mouse.cpp).
struct MouseChoice {
    uint8_t buttons;              // presses, releases and drags become events
    uint8_t all_motion;           // moves with no button held become events too
    uint8_t held;                 // buttons held, as the button messages tell (KORVA_BUTTON_ bits)
    int32_t last_x;               // device position of the last move made an event, so that
    int32_t last_y;               // the system's repeated moves to the same place make none
    int32_t wheel_rest;           // wheel turn short of a whole notch (fine wheels send parts)
};

// Loaded pictures (KORVA_load_picture, korva/extras/pictures.cpp): slot i holds picture id i + 1.
constexpr int32_t MAX_PICTURES = 256;
struct Picture {
    HDC dc;                       // memory context holding the picture; null: the slot is free
    HBITMAP bitmap;               // its premultiplied 32-bit pixels, top row first
    HGDIOBJ previous;             // what the context held before
    void* bits;                   // those pixels, for the platform's imaging to read
    int32_t width;
    int32_t height;
};

// Sounds (KORVA_load_sound, korva/extras/sounds.cpp): slot i holds sound id i + 1; each play
// is a voice of the platform's audio engine, made at the first play and ended at close.
constexpr int32_t MAX_SOUNDS = 64;
constexpr int32_t MAX_VOICES = 32;
struct Sound {
    uint8_t* samples;             // the file's samples as it holds them; null: the slot is free
    uint32_t bytes;
    uint32_t rate;
    uint16_t channels;
    uint16_t bits;
    int32_t volume;               // percent, 0 to 100
};
struct SoundVoice {
    void* voice;                  // a source voice of the engine; null: the slot is free
    int32_t sound;                // the id it plays
};
struct Sounds {
    Sound loaded[MAX_SOUNDS];
    SoundVoice voices[MAX_VOICES];
    int32_t next_voice;           // the slot a play takes when every one is busy
    void* library;                // the engine's DLL
    void* engine;
    void* master;                 // the mastering voice, on the system's audio device
    int8_t device;                // 0: not asked yet; 1: playing; -1: none (said once)
};

// Held keys (KORVA_held_keys, korva/extras/held_keys.cpp).
struct HeldKeys {
    uint8_t events;               // keys going down and up become events
    uint8_t held[128];            // per key code: down, as the events the waits returned tell
    // Per key code: an event the keyboard's coming and going owes the program. When the window
    // loses the keyboard no release can reach it, so each held key is released for it; when the
    // keyboard comes back, a key that is down is pressed. Releases are handed out first.
    uint8_t owed_release[128];
    uint8_t owed_press[128];
};

// Colours beyond the 24 (KORVA_rgb, korva/extras/rgb_colors.cpp): colour index
// KORVA_COLOR_COUNT + i is entry i. Until a program asks for one there is none, and every index
// from 24 on is illegal, as it always was.
constexpr int32_t MAX_RGB_COLORS = KORVA_MAX_RGB_COLORS;
struct RgbColors {
    int32_t count;
    uint32_t rgb[MAX_RGB_COLORS];   // GDI colour value, 0x00BBGGRR
    char name[MAX_RGB_COLORS][20];  // "rgb(R, G, B)", as log lines name the colour
};

// The clock (KORVA_time, KORVA_clock; korva/extras/clock.cpp).
struct RecordedClock {
    int64_t opened;               // performance-counter count at KORVA_open
    int32_t event_time;           // KORVA_time's answer for the current event
    uint8_t event_time_given;     // KORVA_time has answered since the wait returned the event
    // What a playback has handed out so far, so that a value no recording could hold (a time
    // before an earlier one) is caught: the last event time, the latest clock reading, and the
    // latest reading before the current event was returned. -1: none yet.
    int32_t played_time;
    int32_t played_clock;
    int32_t played_clock_before_event;
    uint32_t played_reading;      // the script reading these belong to
    uint32_t reading_said;        // the script reading whose lack of times was reported; 0: none
};

// Chance (KORVA_random, KORVA_seed_random; korva/extras/chance.cpp).
struct Chance {
    uint64_t state;               // the generator's state
    uint64_t opened_state;        // its state at KORVA_open, or as the program last seeded it
    uint8_t used;                 // the program has drawn or seeded since KORVA_open
    uint8_t noted;                // this event's turn has written (or taken) its state line
    uint8_t seeded;               // the state has been seeded, by the program or from the clock,
                                  // once for the whole process (opens do not start it again)
};

struct LibraryState {
    // Between KORVA_open (once its graphics window exists) and KORVA_close: what every operation
    // that needs the library open asks, through library_open().
    uint8_t is_open;

    // Animation and start-up values.
    uint8_t quit_requested;       // ANIMATE_QUIT was asked for; every later wait returns KORVA_EXIT
    uint8_t animating;            // the wait makes periodic events (open, wait, menu)
    char* prompt_buffer;          // where the prompt dialog puts the entered text
    // Set while an extension answers KORVA_gets itself (replay mode, where no one is there to
    // type): true, with the destination filled, when no dialog is to be shown. Null: the dialog.
    bool (*answer_prompt)(const char* prompt, char* destination);
    HINSTANCE instance;           // instance handle given at start (entry routine)
    HINSTANCE previous_instance;  // classes are registered only while this is null
    char* command_line;           // command line given at start; stored, never used
    int32_t show_command;         // how both windows are shown
    uint8_t single_step;          // one periodic event asked for; the wait clears it

    // The event being assembled.
    int32_t origin_x;             // client-area centre in device pixels (WM_SIZE)
    int32_t origin_y;
    EventRecord event;            // the event being assembled (wait, menu, click, player, room)
    int32_t event_kind;           // its kind; KORVA_NONE while there is none

    // Windows.
    HWND graphics_window;         // null while the library is not open
    HWND text_window;             // the text console

    // Console ring and script.
    int32_t console_next;         // ring index for the next console line (0..24)
    uint8_t recording;            // script recording is on (menu)
    uint8_t play_one;             // play one script event at the next wait (menu, wait, player)
    uint8_t playing_back;         // continuous playback (menu, wait, player)
    int32_t timer_ticked;         // a tick arrived since the wait last cleared it

    // Heroes under control: at most one is set.
    int32_t control_blazrack;
    int32_t control_mushi;
    int32_t control_besouru;

    int32_t injected_event_pending;  // the next wait returns event/event_kind unread (room)
    FILE* script_file;               // the open script file, or null
    int32_t periodic_count;          // recorder: periodic events not yet written; player: repeats left
    int32_t control_key_down;        // Ctrl is held, as the key messages tell (0 or 1)
    HGLOBAL console_lines[CONSOLE_LINE_COUNT];  // ring of console lines, movable blocks

    // Canvas.
    HDC canvas_dc;                // memory context holding the canvas
    HDC window_dc;                // graphics window's client context, held from open to close
    HBITMAP canvas_bitmap;        // the 601 x 540 canvas
    HINSTANCE dialog_instance;    // instance for the prompt dialog
    HMENU run_menu;               // the "&Run" popup (WM_CREATE)
    int32_t canvas_dirty;         // canvas changed since last copied to the window
    int32_t console_first;        // ring index of the oldest console line; -1 while empty
    uint8_t logging;              // drawing calls write log lines
    int32_t entry_direction;      // direction the next hero enters from; -1 for none

    ScriptMode script_mode;       // whether script_file was opened for writing or reading
    uint32_t script_readings;     // how many times the player has opened the file for reading,
                                  // so that a playback can tell itself from the one before
    // A line the player has read but not yet played: a program that asks for a recorded value
    // looks at the next line, and a line that is no such value waits here for the next event.
    // Read again rather than sought back to, since positions in a file read as text are not
    // to be trusted when its lines end in a bare line feed. Emptied with the slot.
    uint8_t script_line_held;
    char script_held_line[SCRIPT_LINE_BUFFER_SIZE];

    // The opt-in parts, each off unless the program or its environment asks for it.
    ReplayChoices replay;         // replay mode and command lines (environment, KORVA_open)
    FramePace frame;              // timed animation (KORVA_frame_rate)
    KeyboardChoice keyboard;      // typed keys as events (KORVA_keyboard)
    MouseChoice mouse;            // the whole mouse as events (KORVA_mouse)
    HeldKeys held_keys;           // keys down and up as events (KORVA_held_keys)
    Picture pictures[MAX_PICTURES];  // loaded pictures, freed by KORVA_close
    uintptr_t imaging_token;      // the platform's imaging (GDI+) while started; 0: not started
    Sounds sounds;                // loaded sounds and their plays (KORVA_play_sound)
    RgbColors rgb_colors;         // colours beyond the 24 (KORVA_rgb)
    RecordedClock clock;          // milliseconds since open, recorded and replayed (KORVA_time)
    Chance chance;                // random numbers, recorded and replayed (KORVA_random)

    // The console window's whole client area was invalidated and its paint has not run since
    // (console). Only a hint: the window's own update region is asked before trusting it.
    uint8_t console_invalidated;
};

extern LibraryState korva_state;

// The library is open: KORVA_open has made its windows and KORVA_close has not been called since.
inline bool library_open() {
    return korva_state.is_open != 0;
}

// Each hero's control flag, in the order of HEROES (Besouru, Blazrack, Mushi).
extern int32_t LibraryState::*const HERO_CONTROL_FLAGS[HERO_COUNT];

#endif
