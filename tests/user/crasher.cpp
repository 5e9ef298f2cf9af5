// A program for the runner's tests that ends badly on purpose: it opens the library (so a window
// shows), then, by its argument, dereferences a null pointer ("crash"), ends at once with exit
// code N ("exit N"), ends by itself with exit code N after MS milliseconds ("after MS N"), or
// waits for events until it is closed ("wait"; exit code 0). It says "open"
// on its output once the library is open.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "korva/korva.h"

int room_main() {
    KORVA_open();
    printf("open\n");
    fflush(stdout);
    const char* what = __argc > 1 ? __argv[1] : "wait";
    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    if (strcmp(what, "crash") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    } else if (strcmp(what, "after") == 0 && __argc > 3) {
        Sleep(static_cast<DWORD>(atoi(__argv[2])));
        KORVA_close();
        return atoi(__argv[3]);
    } else if (strcmp(what, "exit") == 0) {
        KORVA_close();
        return __argc > 2 ? atoi(__argv[2]) : 0;
    }
    while (KORVA_wait_event(&x, &y, &key, &region, &hero) != KORVA_EXIT) {
    }
    KORVA_close();
    return 0;
}
