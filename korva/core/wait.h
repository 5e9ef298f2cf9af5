// The event wait proper and its one-message pump.
#ifndef KORVA_CORE_WAIT_H
#define KORVA_CORE_WAIT_H

#include "korva/korva.h"

// Waits for the next event, fills a whole record and returns its kind.
int32_t await_event(EventRecord* out);

// Takes one message of the thread, blocking, and handles it.
void pump_message();

#endif
