// The script file slot that the recorder and the player share: its name, its closing, and the
// end of a playback (recording ends one before it takes the file).
#include "korva/base/command_ids.h"
#include "korva/base/state.h"
#include "korva/script/script.h"

const char* const SCRIPT_FILE_NAME = "KORVA.SCR";

void close_script() {
    LibraryState& s = korva_state;
    if (s.script_file != nullptr) {
        fclose(s.script_file);
        s.script_file = nullptr;
    }
    s.script_mode = SCRIPT_CLOSED;
    s.script_line_held = 0;
}

void stop_playback() {
    LibraryState& s = korva_state;
    s.playing_back = 0;
    s.play_one = 0;
    CheckMenuItem(s.run_menu, CMD_PLAYBACK, MF_BYCOMMAND | MF_UNCHECKED);
}
