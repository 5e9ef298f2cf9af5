// The command line of korva-replay, and what each way of ending means. Platform-free.
#ifndef KORVA_TOOLS_REPLAY_OPTIONS_H
#define KORVA_TOOLS_REPLAY_OPTIONS_H

#include <stdint.h>

// The harness's exit codes, one per way a replay can end.
enum ReplayExit : int32_t {
    REPLAY_PASSED = 0,          // the canvas matches (or was only written, or the expected image updated)
    REPLAY_MISMATCH = 1,        // more pixels differ than the tolerance allows
    REPLAY_BAD_USE = 2,         // bad command line, or a file that cannot be read or is no fit image
    REPLAY_PROGRAM_FAILED = 3,  // the program ended with an exit code of its own other than 0
    REPLAY_CRASHED = 4,         // the program ended with an exception (exit code 0xC0000000 and up)
    REPLAY_TIMED_OUT = 5,       // the program did not end within the time limit and was ended
    REPLAY_NO_CANVAS = 6,       // the program ended with 0 but left no canvas file
    REPLAY_NOTHING_TO_PLAY = 7, // the script holds no script line: no program was run
    REPLAY_KILLED = 137,        // the program was ended from outside before it finished, as a
                                // shell reports a process killed by a signal
};

constexpr int32_t REPLAY_DEFAULT_TIMEOUT_S = 60;
constexpr int32_t REPLAY_MAX_TIMEOUT_S = 86400;

struct ReplayOptions {
    const char* program;  // the program to replay
    const char* script;   // the script it plays
    const char* canvas;   // --canvas: where the final canvas goes, or null
    const char* expect;   // --expect: the expected image, or null
    const char* diff;     // --diff: where the difference image goes, or null
    int32_t timeout_s;    // --timeout: seconds the program may run
    int32_t tolerance;    // --tolerance: differing pixels still counted as a match
    bool update;          // --update: write the canvas as the expected image instead of comparing
    bool help;            // --help: print the usage and do nothing else
    const char* unknown;  // after a failed parse: the unknown option, when that was the reason
};

// Reads the arguments after the program name. Returns null on success, else a one-line reason.
const char* parse_replay_options(int argc, const char* const* argv, ReplayOptions* out);

// How a finished run of the program ends the replay, before any canvas is looked at:
// REPLAY_PASSED when it ended by itself with exit code 0.
ReplayExit classify_program_end(bool timed_out, uint32_t exit_code);

// The usage text, several lines, ending in a line feed.
extern const char* const REPLAY_USAGE;

#endif
