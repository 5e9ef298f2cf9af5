// Reading korva-replay's command line, and sorting out how the replayed program ended.
#include "replay_options.h"

#include <string.h>

const char* const REPLAY_USAGE =
    "usage: korva-replay [options] program.exe script.scr\n"
    "Runs program.exe in replay mode on script.scr in a temporary folder and checks its final canvas.\n"
    "  --canvas FILE     write the final canvas to FILE (PNG when FILE ends in .png, else BMP)\n"
    "  --expect FILE     compare the canvas with the BMP or PNG in FILE, pixel for pixel\n"
    "  --diff FILE       with --expect: write a difference image (differing pixels in red)\n"
    "  --tolerance N     with --expect: up to N differing pixels still match (default 0)\n"
    "  --update          with --expect: write the canvas to FILE as the new expected image\n"
    "  --timeout S       end the program after S seconds (default 60)\n"
    "Exit codes: 0 match, 1 pixels differ, 2 bad use or bad file, 3 the program's own non-zero\n"
    "exit code, 4 crash, 5 time-out, 6 no canvas written, 7 the script holds no script line,\n"
    "137 the program was ended from outside (killed).\n";

// A whole argument of decimal digits within [low, high]; false for anything else.
static bool parse_number(const char* text, int32_t low, int32_t high, int32_t* out) {
    if (text == nullptr || *text == '\0') return false;
    int64_t value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + (*c - '0');
        if (value > high) return false;
    }
    if (value < low) return false;
    *out = static_cast<int32_t>(value);
    return true;
}

struct PathOption {
    const char* name;
    const char* ReplayOptions::*field;
};

static const PathOption PATH_OPTIONS[] = {
    {"--canvas", &ReplayOptions::canvas},
    {"--expect", &ReplayOptions::expect},
    {"--diff", &ReplayOptions::diff},
};

const char* parse_replay_options(int argc, const char* const* argv, ReplayOptions* out) {
    *out = ReplayOptions{};
    out->timeout_s = REPLAY_DEFAULT_TIMEOUT_S;
    const char* positional[2] = {nullptr, nullptr};
    int positional_count = 0;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            out->help = true;
            return nullptr;
        }
        if (strcmp(arg, "--update") == 0) {
            out->update = true;
            continue;
        }
        bool taken = false;
        for (const PathOption& option : PATH_OPTIONS) {
            if (strcmp(arg, option.name) != 0) continue;
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return "an option needs a file name after it";
            out->*option.field = argv[++i];
            taken = true;
        }
        if (taken) continue;
        if (strcmp(arg, "--timeout") == 0) {
            if (i + 1 >= argc || !parse_number(argv[++i], 1, REPLAY_MAX_TIMEOUT_S, &out->timeout_s))
                return "--timeout needs a whole number of seconds from 1 to 86400";
            continue;
        }
        if (strcmp(arg, "--tolerance") == 0) {
            if (i + 1 >= argc || !parse_number(argv[++i], 0, INT32_MAX, &out->tolerance))
                return "--tolerance needs a whole number of pixels, 0 or more";
            continue;
        }
        if (arg[0] == '-' && arg[1] == '-') {
            out->unknown = arg;
            return "unknown option";
        }
        if (positional_count == 2) return "more than a program and a script";
        positional[positional_count++] = arg;
    }
    if (positional_count < 2) return "a program and a script are needed";
    out->program = positional[0];
    out->script = positional[1];
    if ((out->update || out->diff != nullptr || out->tolerance != 0) && out->expect == nullptr)
        return "--update, --diff and --tolerance need --expect";
    return nullptr;
}

ReplayExit classify_program_end(bool timed_out, uint32_t exit_code) {
    if (timed_out) return REPLAY_TIMED_OUT;
    // Exception codes have both top bits set: an access violation ends a process with 0xC0000005.
    if (exit_code >= 0xC0000000u) return REPLAY_CRASHED;
    if (exit_code != 0) return REPLAY_PROGRAM_FAILED;
    return REPLAY_PASSED;
}
