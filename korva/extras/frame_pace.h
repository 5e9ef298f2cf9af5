// The timed pace of periodic events: a frame schedule in performance-counter time, and the
// wait for whichever comes first, a message or the next frame.
#ifndef KORVA_EXTRAS_FRAME_PACE_H
#define KORVA_EXTRAS_FRAME_PACE_H

// The timed pace decides when periodic events come: a frame rate is set and animation runs
// or one frame is asked for (with no script playing), or the program has asked to quit (so
// it gets KORVA_EXIT in time).
bool frame_pace_active();

// Forgets the schedule; the next frame is counted from the moment the pace starts again.
void frame_pace_stop();

// Blocks until a message is waiting (true) or the next frame is due (false).
bool wait_for_message_or_frame();

// The next frame's time has come.
bool frame_due();

// The due frame is delivered: moves the schedule to the next frame. A program that fell more
// than a frame behind skips the missed frames, so at most one frame is ever pending.
void take_frame();

#endif
