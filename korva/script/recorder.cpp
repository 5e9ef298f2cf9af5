// The script recorder: one line per mouse, keyboard or run of periodic events (and, when the
// program asks for them, per menu command), and the Record Script command that switches it
// on and off.
#include "korva/base/command_ids.h"
#include "korva/base/state.h"
#include "korva/platform/script_line.h"
#include "korva/script/script.h"

// Opens the file for writing when the slot is empty; false (reported) when it cannot.
static bool ensure_writer() {
    LibraryState& s = korva_state;
    // The player never keeps the slot while recording is on (see toggle_recording), but a
    // reader left here must not be written through: recording takes the file over.
    if (s.script_file != nullptr && s.script_mode == SCRIPT_READING) close_script();
    if (s.script_file != nullptr) return true;
    FILE* file = fopen(SCRIPT_FILE_NAME, "wt");
    if (file == nullptr) {
        KORVA_printf("Cannot open script file %s for writing\n", SCRIPT_FILE_NAME);
        return false;
    }
    s.script_file = file;
    s.script_mode = SCRIPT_WRITING;
    return true;
}

// Each line goes to the file at once, so a run that is killed keeps what it recorded.
static void put_line(const char* line) {
    fputs(line, korva_state.script_file);
    fflush(korva_state.script_file);
}

static void write_line(int32_t kind, int32_t first, int32_t second) {
    char line[SCRIPT_LINE_FORMAT_SIZE];
    if (format_script_line(kind, first, second, line, sizeof line) == 0) return;
    put_line(line);
}

void record_event(int32_t kind, EventRecord event) {
    // Every kind opens the file, even those that write no line.
    if (!ensure_writer()) return;
    // A typed key's line holds its code; a periodic event's, the ticks counted so far. The kinds
    // of a program that switched the other events on write their own lines; the rest, none.
    int32_t first = event.x;
    int32_t second = event.y;
    if (kind == KORVA_KBD) first = static_cast<int8_t>(event.key);
    if (kind == KORVA_PERIODIC) first = korva_state.periodic_count;
    if (kind == KORVA_KBD || kind == KORVA_PERIODIC) second = 0;
    char line[SCRIPT_LINE_FORMAT_SIZE];
    if (kind != SCRIPT_COMMAND &&
        format_event_line(kind, first, second, static_cast<int8_t>(event.key), line, sizeof line) > 0)
        put_line(line);
}

void record_command(int32_t id) {
    if (!ensure_writer()) return;
    write_line(SCRIPT_COMMAND, id, 0);
}

void record_value(int32_t kind, int32_t first, int32_t second) {
    LibraryState& s = korva_state;
    if (!s.recording || !ensure_writer()) return;
    // The periodic events counted so far came before the program asked.
    if (s.periodic_count > 0) {
        record_event(KORVA_PERIODIC, s.event);
        s.periodic_count = 0;
    }
    write_line(kind, first, second);
}

// Recording owns the file while it is on: any playback ends first, a reader is closed, and
// a count the player left behind is dropped, so it is never written as a recorded run. Only
// a playback that was running (or a Play One still to come) is reported as stopped: an idle
// reader or a leftover count is put away silently.
static void end_playback_for_recording() {
    LibraryState& s = korva_state;
    bool stopped = s.playing_back || s.play_one;
    if (stopped) stop_playback();
    if (s.script_mode == SCRIPT_READING) close_script();
    s.periodic_count = 0;
    if (stopped) KORVA_printf("Playback of script file %s stopped for recording\n", SCRIPT_FILE_NAME);
}

void end_recording() {
    LibraryState& s = korva_state;
    if (!s.recording) return;
    s.recording = 0;
    CheckMenuItem(s.run_menu, CMD_RECORD, MF_BYCOMMAND | MF_UNCHECKED);
    if (s.periodic_count > 0) {
        record_event(KORVA_PERIODIC, s.event);
        s.periodic_count = 0;
    }
    close_script();
}

void toggle_recording() {
    LibraryState& s = korva_state;
    if (s.recording) {
        end_recording();
        return;
    }
    end_playback_for_recording();
    s.recording = 1;
    CheckMenuItem(s.run_menu, CMD_RECORD, MF_BYCOMMAND | MF_CHECKED);
    // No file yet: the first recorded event opens it.
}
