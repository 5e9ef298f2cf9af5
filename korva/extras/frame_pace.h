// The timed pace of periodic events: a frame schedule in performance-counter time, and the
// wait's pass once a frame rate is set.
#ifndef KORVA_EXTRAS_FRAME_PACE_H
#define KORVA_EXTRAS_FRAME_PACE_H

#include "korva/extras/hooks.h"

// How the frame rate paces this pass of the wait: with the pace active, blocks until a message
// is waiting or the next frame is due. A halted pace forgets its schedule.
PacedPass paced_pass();

// After the pass's message: when the pace is still active and the frame's time has come, the
// frame is taken (true), and the wait delivers its periodic event.
bool take_due_frame();

// Forgets the schedule; the next frame is counted from the moment the pace starts again.
void frame_pace_stop();

#endif
