// Telling the tool that started the program (korva-launch) whether it ended through its own code:
// the tool makes two named events and names them in the program's environment. Win32.
#ifndef KORVA_EXTRAS_END_MARK_H
#define KORVA_EXTRAS_END_MARK_H

// Called at every open: the first call tells the tool that this program will mark its end, and
// has the mark made when the program exits through its own code (a return from main, exit()).
// A program killed from outside never makes it. Does nothing unless a tool asked for it.
void promise_end_mark();

#endif
