// The clock that replays: what open and the wait ask of it.
#ifndef KORVA_EXTRAS_CLOCK_H
#define KORVA_EXTRAS_CLOCK_H

// At open: milliseconds count from now.
void clock_open();

// The wait returns an event: KORVA_time's answer for it is taken now.
void clock_event_returned();

#endif
