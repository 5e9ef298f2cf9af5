// The end mark. Under Wine, a program killed from outside ends with exit code 0, as if it had
// returned 0; only the program itself can say that it finished.
#include "korva/core/end_mark.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

static void set_named_event(const char* suffix) {
    char name[128];
    DWORD length = GetEnvironmentVariableA(END_MARK_VARIABLE, name, sizeof name);
    if (length == 0 || length + strlen(suffix) >= sizeof name) return;
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
    set_named_event(END_MARK_PROMISED);
    atexit(mark_end);
}
