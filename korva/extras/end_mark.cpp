// The end mark. Under Wine, a program killed from outside ends with exit code 0, as if it had
// returned 0; only the program itself can say that it finished.
#include "korva/extras/end_mark.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "korva/platform/end_mark_names.h"

// The events' common name, taken out of the environment at the first open so that programs this
// one starts do not mark for it.
static char mark_name[96];

static void set_named_event(const char* suffix) {
    char name[sizeof mark_name + 16];
    if (mark_name[0] == '\0' || strlen(mark_name) + strlen(suffix) >= sizeof name) return;
    strcpy(name, mark_name);
    strcat(name, suffix);
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    if (event == nullptr) return;
    SetEvent(event);
    CloseHandle(event);
}

static void mark_end() { set_named_event(END_MARK_ENDED); }

void promise_end_mark() {
    static bool promised = false;
    if (promised) return;
    promised = true;
    DWORD length = GetEnvironmentVariableA(END_MARK_VARIABLE, mark_name, sizeof mark_name);
    if (length == 0 || length >= sizeof mark_name) {
        mark_name[0] = '\0';
        return;
    }
    SetEnvironmentVariableA(END_MARK_VARIABLE, nullptr);
    set_named_event(END_MARK_PROMISED);
    atexit(mark_end);
}
