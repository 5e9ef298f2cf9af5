// Chance that replays: what open and the wait ask of it.
#ifndef KORVA_EXTRAS_CHANCE_H
#define KORVA_EXTRAS_CHANCE_H

// At open (after replay mode has opened its script): the generator as the program left it (seeded
// by chance at the first draw or seed of the process), or the replayed recording's first line.
void chance_open();

// Before the recorder writes the event the wait returns: a recording file about to be opened
// starts with the generator's state, when the program has drawn already.
void chance_event_ready();

// The wait returns an event: its turn's first draw notes the generator's state.
void chance_event_returned();

#endif
