// Following a started program as its debugger, so that a crash ends it at once with the
// exception's code instead of waiting for a person: an unhandled exception would otherwise start
// a crash dialog or a debugger (Wine does so whatever the error mode). Win32.
#ifndef KORVA_TOOLS_CRASH_WATCH_H
#define KORVA_TOOLS_CRASH_WATCH_H

#include <windows.h>

#include <stdint.h>

struct CrashWatch {
    HANDLE process;
    DWORD process_id;
    bool loader_breakpoint_seen;  // every debugged process starts with one
    bool ended;                   // the program has ended (exit_code holds its code)
    bool crashed;                 // it ended on an exception it did not handle
    DWORD exit_code;              // its exit code, or the exception's code for a crash
};

// The creation flags of a program to be watched (besides CREATE_SUSPENDED, which run_in_job needs).
constexpr DWORD CRASH_WATCH_FLAGS = DEBUG_ONLY_THIS_PROCESS;

CrashWatch start_crash_watch(const PROCESS_INFORMATION& process);

// Takes what happens in the program for at most `wait_ms`; false once it has ended. Must be
// called from the thread that started the program.
bool watch_for(CrashWatch* watch, DWORD wait_ms);

// A few words for a crash's exception code ("access violation", ...), or null for an unknown one.
const char* exception_name(DWORD code);

#endif
