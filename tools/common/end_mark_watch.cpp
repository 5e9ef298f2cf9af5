// The end mark's two events, made by the tool that starts a program.
#include "end_mark_watch.h"

#include <stdio.h>

#include <string>

#include "korva/platform/end_mark_names.h"

EndMark make_end_mark(const char* tool) {
    char name[64];
    snprintf(name, sizeof name, "%s-%lu", tool, static_cast<unsigned long>(GetCurrentProcessId()));
    SetEnvironmentVariableA(END_MARK_VARIABLE, name);
    std::string base = name;
    return {CreateEventA(nullptr, TRUE, FALSE, (base + END_MARK_PROMISED).c_str()),
            CreateEventA(nullptr, TRUE, FALSE, (base + END_MARK_ENDED).c_str())};
}

bool ended_from_outside(const EndMark& mark) {
    if (mark.promised == nullptr || mark.ended == nullptr) return false;
    return WaitForSingleObject(mark.promised, 0) == WAIT_OBJECT_0 &&
           WaitForSingleObject(mark.ended, 0) != WAIT_OBJECT_0;
}
