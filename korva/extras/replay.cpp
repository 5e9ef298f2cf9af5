// Replay mode. The library reads no configuration except here: KORVA_REPLAY names a script to
// play instead of "KORVA.SCR", KORVA_REPLAY_CANVAS the file that receives the final canvas, and
// KORVA_RECORD_COMMANDS=1 puts menu commands into scripts (script_commands.h). With these unset
// every routine of this file leaves the library as it is.
#include "korva/extras/replay.h"

#include <string.h>

#include "korva/base/command_ids.h"
#include "korva/base/state.h"
#include "korva/draw/raster.h"
#include "korva/script/script.h"

const char* const REPLAY_SCRIPT_VARIABLE = "KORVA_REPLAY";
const char* const REPLAY_CANVAS_VARIABLE = "KORVA_REPLAY_CANVAS";
const char* const RECORD_COMMANDS_VARIABLE = "KORVA_RECORD_COMMANDS";

// A pass of the replay pump handles at most this many queued messages, so a window that keeps
// posting to itself cannot hold the script up for ever.
static constexpr int32_t PENDING_MESSAGES_PER_PASS = 1000;

// Copies one variable into `out`; false when it is unset, empty or too long (reported).
static bool read_variable(const char* name, char* out, size_t size) {
    out[0] = '\0';
    DWORD length = GetEnvironmentVariableA(name, out, static_cast<DWORD>(size));
    if (length == 0) return false;
    if (length >= size) {
        out[0] = '\0';
        KORVA_printf("Replay: %s is longer than %d characters\n", name, static_cast<int>(size - 1));
        return false;
    }
    return true;
}

// KORVA_RECORD_COMMANDS=1 lets the recorder write menu commands and the player run them; unset,
// empty or 0 keeps the script file as it has always been. Any other value is reported and
// taken as 0, so a typo never changes what a recording holds without saying so.
static void read_command_lines_choice() {
    char value[64];
    korva_state.replay.script_commands = 0;
    if (!read_variable(RECORD_COMMANDS_VARIABLE, value, sizeof value)) return;
    if (strcmp(value, "1") == 0)
        korva_state.replay.script_commands = 1;
    else if (strcmp(value, "0") != 0)
        KORVA_printf("%s must be 0 or 1; menu commands are not recorded\n", RECORD_COMMANDS_VARIABLE);
}

void read_environment_choices() {
    LibraryState& s = korva_state;
    read_command_lines_choice();
    char script[REPLAY_PATH_SIZE];
    if (GetEnvironmentVariableA(REPLAY_SCRIPT_VARIABLE, script, 1) == 0) return;  // unset or empty
    s.replay.active = 1;
    s.answer_prompt = replay_answers_prompt;
    read_variable(REPLAY_CANVAS_VARIABLE, s.replay.canvas, sizeof s.replay.canvas);
    if (!read_variable(REPLAY_SCRIPT_VARIABLE, s.replay.script, sizeof s.replay.script)) {
        s.replay.failed = 1;
        s.replay.over = 1;
        return;
    }
    // Opened now rather than at the first wait, so a missing file ends the run before the
    // program has seen a single event; the message is the player's own.
    FILE* file = fopen(s.replay.script, "rt");
    if (file == nullptr) {
        KORVA_printf("Cannot open script file %s for reading\n", s.replay.script);
        s.replay.failed = 1;
        s.replay.over = 1;
        return;
    }
    s.script_file = file;
    s.script_mode = SCRIPT_READING;
    ++s.script_readings;
    // As the Playback Script command starts it.
    s.animating = 0;
    s.single_step = 0;
    s.playing_back = 1;
    CheckMenuItem(s.run_menu, CMD_PLAYBACK, MF_BYCOMMAND | MF_CHECKED);
}

const char* script_file_name() {
    return korva_state.replay.active ? korva_state.replay.script : SCRIPT_FILE_NAME;
}

// Clicks, keys and menu commands of a person (or of anything else on the desktop) would make
// the run differ from the script; painting, timers, the close box and quitting go through.
static bool is_live_input(const MSG& message) {
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) return true;
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) return true;
    return message.message == WM_COMMAND && message.hwnd == korva_state.graphics_window;
}

// Replay is not paced by the tick: a wait handles what is queued and goes straight on to the
// player, so a script of a thousand events takes about as long as the program's own drawing,
// not a thousand ticks. Played periodic events never waited for a tick anyway.
void pump_pending_messages() {
    LibraryState& s = korva_state;
    MSG message;
    for (int32_t i = 0; i < PENDING_MESSAGES_PER_PASS && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            s.event_kind = KORVA_EXIT;
            return;
        }
        if (is_live_input(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (s.canvas_dirty) {
        copy_canvas_to_window();
        s.canvas_dirty = 0;
    }
    // Nothing switches playback off while live input is dropped; should it happen anyway, the
    // wait would spin without blocking and without events, so the replay ends instead.
    if (!s.playing_back && !s.play_one) end_replay();
}

void end_replay() {
    korva_state.replay.over = 1;
    korva_state.event_kind = KORVA_EXIT;
}

void save_replay_canvas() {
    const LibraryState& s = korva_state;
    if (!s.replay.active || s.replay.failed || s.replay.canvas[0] == '\0') return;
    KORVA_save_canvas(s.replay.canvas);
}

bool replay_answers_prompt(const char* prompt, char* destination) {
    if (!korva_state.replay.active) return false;
    destination[0] = '\0';
    KORVA_printf("Replay: the prompt \"%.200s\" is answered with empty text\n", prompt ? prompt : "");
    return true;
}
