// The script file slot that the recorder and the player share: its name and its closing.
#include "korva/core/state.h"
#include "korva/script/script.h"

const char* const SCRIPT_FILE_NAME = "KORVA.SCR";

void close_script() {
    LibraryState& s = korva_state;
    if (s.script_file != nullptr) {
        fclose(s.script_file);
        s.script_file = nullptr;
    }
    s.script_mode = SCRIPT_CLOSED;
}
