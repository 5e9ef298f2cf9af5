// Running the replayed program: its own environment and working folder, a time limit, and
// how it ended. Win32.
#ifndef KORVA_TOOLS_CHILD_PROCESS_H
#define KORVA_TOOLS_CHILD_PROCESS_H

#include <stdint.h>

struct ChildEnd {
    bool started;        // false: the program could not be started at all
    bool timed_out;      // it ran past the limit and was ended
    uint32_t exit_code;  // its exit code, when it ended by itself
    bool killed;         // it opened the library and was ended from outside before it finished
    double seconds;      // from start to end
    int32_t left_running;  // processes the program started that were still running after it
                           // ended, and that the harness ended
};

// Runs `program` in the harness's current folder (the script and canvas files are elsewhere),
// its standard output and error the harness's standard error, with the harness's environment plus KORVA_REPLAY=`script` and
// KORVA_REPLAY_CANVAS=`canvas` (any earlier values of those two are dropped), and waits for
// it at most `timeout_s` seconds before ending it. Everything the program starts runs in a job
// with it, and ends when it ends.
ChildEnd run_replay_child(const char* program, const char* script, const char* canvas,
                          int32_t timeout_s);

#endif
