// The script player: turns the lines of the script file into events of the wait, and the
// Playback Script and Play One Script commands that start and stop it.
#include <string.h>

#include "korva/base/command_ids.h"
#include "korva/base/state.h"
#include "korva/console/log_line.h"
#include "korva/platform/script_line.h"
#include "korva/script/script.h"
#include "korva/script/script_reader.h"

static void refuse_while_recording() {
    KORVA_printf("Cannot play script file %s while recording it\n", SCRIPT_FILE_NAME);
}

// Whether the program has switched on the events of this kind.
static bool switched_on(int32_t kind) {
    const LibraryState& s = korva_state;
    if (kind == KORVA_KEY_PRESS || kind == KORVA_KEY_RELEASE) return s.held_keys.events != 0;
    // Buttons, moves and the wheel: the whole mouse.
    return s.mouse.buttons != 0;
}

// The next line to play: the one held back by a look for a value, else the file's next.
static bool next_line(char* text, int size) {
    LibraryState& s = korva_state;
    if (!s.script_line_held) return read_script_line(s.script_file, text, size);
    s.script_line_held = 0;
    memcpy(text, s.script_held_line, static_cast<size_t>(size));
    return true;
}

PlayResult play_event(const char* file_name, bool command_lines, bool end_is_normal, int32_t* command) {
    LibraryState& s = korva_state;
    if (s.script_file != nullptr && s.script_mode == SCRIPT_WRITING) {
        // The recorder holds the slot; the commands refuse this, and nothing is ever read
        // from a file that is being written.
        refuse_while_recording();
        stop_playback();
        return PLAY_ENDED;
    }
    if (s.script_file == nullptr) {
        FILE* file = fopen(file_name, "rt");
        if (file == nullptr) {
            KORVA_printf("Cannot open script file %s for reading\n", file_name);
            stop_playback();
            return PLAY_ENDED;
        }
        s.script_file = file;
        s.script_mode = SCRIPT_READING;
    ++s.script_readings;
    }

    if (s.periodic_count > 0) {
        s.event_kind = KORVA_PERIODIC;
        --s.periodic_count;
        return PLAY_EVENT;
    }

    char text[SCRIPT_LINE_BUFFER_SIZE];
    ScriptLine line{};
    // A value that the recorded program was given and this one has not asked for is passed over.
    do {
        if (!next_line(text, static_cast<int>(sizeof text))) {
            if (end_is_normal)
                log_printf("EOF encountered in script file %s\n", file_name);
            else
                KORVA_printf("EOF encountered in script file %s\n", file_name);
            stop_playback();
            return PLAY_ENDED;
        }
        line = parse_script_line(text, sizeof text);
    } while (line.kind == SCRIPT_NOW || line.kind == SCRIPT_RANDOM);
    if (line.kind == SCRIPT_COMMAND && command_lines) {
        *command = line.command;
        return PLAY_COMMAND;
    }

    switch (line.kind) {
    case KORVA_MOUSE:
        s.event_kind = KORVA_MOUSE;
        s.event.x = line.x;
        s.event.y = line.y;
        break;
    case KORVA_KBD:
        s.event_kind = KORVA_KBD;
        s.event.key = static_cast<char>(line.key);
        break;
    case KORVA_PERIODIC:
        // This event now, count - 1 more on the next requests; a count of 0 leaves -1,
        // which is nothing pending.
        s.event_kind = KORVA_PERIODIC;
        s.periodic_count = line.count - 1;
        break;
    case KORVA_BUTTON_DOWN:
    case KORVA_BUTTON_UP:
    case KORVA_MOTION:
    case KORVA_KEY_PRESS:
    case KORVA_KEY_RELEASE:
    case KORVA_WHEEL:
        // Played only to a program that has switched such events on, as it had when recording;
        // to any other the line is not a script line.
        if (!switched_on(line.kind)) {
            stop_playback();
            return PLAY_ENDED;
        }
        s.event_kind = line.kind;
        s.event.x = line.x;
        s.event.y = line.y;
        s.event.key = static_cast<char>(line.key);
        break;
    default:
        // Not a script line (a command line too, unless the program plays them): playback
        // ends here, and the next request goes on after it.
        stop_playback();
        return PLAY_ENDED;
    }
    return PLAY_EVENT;
}

bool play_value(int32_t kind, int32_t* first, int32_t* second) {
    LibraryState& s = korva_state;
    if (s.script_file == nullptr || s.script_mode != SCRIPT_READING || s.periodic_count > 0) return false;
    char text[SCRIPT_LINE_BUFFER_SIZE];
    if (!next_line(text, static_cast<int>(sizeof text))) return false;
    ScriptLine line = parse_script_line(text, sizeof text);
    if (line.kind == kind) {
        *first = line.x;
        *second = line.y;
        return true;
    }
    // Not the value asked for: the line stays for the wait.
    static_assert(sizeof s.script_held_line == sizeof text, "a held line is a whole read");
    memcpy(s.script_held_line, text, sizeof text);
    s.script_line_held = 1;
    return false;
}

void toggle_playback() {
    LibraryState& s = korva_state;
    if (s.playing_back) {
        s.playing_back = 0;
        CheckMenuItem(s.run_menu, CMD_PLAYBACK, MF_BYCOMMAND | MF_UNCHECKED);
        if (s.script_mode != SCRIPT_WRITING) close_script();
        return;
    }
    if (s.recording) {
        refuse_while_recording();
        return;
    }
    s.animating = 0;
    s.single_step = 0;
    s.playing_back = 1;
    CheckMenuItem(s.run_menu, CMD_PLAYBACK, MF_BYCOMMAND | MF_CHECKED);
    // The file is opened by the first play_event.
}

void request_play_one() {
    LibraryState& s = korva_state;
    if (s.recording) {
        refuse_while_recording();
        return;
    }
    s.play_one = 1;
    s.animating = 0;
    s.single_step = 0;
}
