// The tools' side of the end mark: two named events whose common name a tool puts in the
// environment of the program it starts. A KORVA program sets the first when it opens and the
// second when it exits through its own code, so a tool can tell a program killed from outside
// (which under Wine ends with exit code 0) from one that returned 0. Win32.
#ifndef KORVA_TOOLS_END_MARK_WATCH_H
#define KORVA_TOOLS_END_MARK_WATCH_H

#include <windows.h>

struct EndMark {
    HANDLE promised;
    HANDLE ended;
};

// Makes the two events, named after `tool` and this process, and names them in this process's
// environment, which the program inherits.
EndMark make_end_mark(const char* tool);

// The program promised the mark and ended without setting it: it did not finish by itself.
bool ended_from_outside(const EndMark& mark);

#endif
