// korva-replay: runs a KORVA program in replay mode on a recorded script, in a temporary folder
// with a time limit, and checks its final canvas against an expected BMP, pixel for pixel.
#include <stdio.h>

#include <string>
#include <vector>

#include "image_diff.h"
#include "picture_file.h"
#include "korva/platform/bmp_image.h"
#include "child_process.h"
#include "replay_options.h"
#include "script_check.h"
#include "work_folder.h"

static int bad_use(const char* what) {
    fprintf(stderr, "korva-replay: %s (see --help)\n", what);
    return REPLAY_BAD_USE;
}

// Files are named as the user gave them, not as the harness resolved them.
static int bad_file(const char* what, const char* given) {
    fprintf(stderr, "korva-replay: %s: %s\n", what, given);
    return REPLAY_BAD_USE;
}

static int unreadable(const char* what, const char* given, const char* why) {
    fprintf(stderr, "korva-replay: %s %s: %s\n", what, given, why);
    return REPLAY_BAD_USE;
}

// Every file named on the command line as an absolute path, since the program runs elsewhere;
// messages name them as given.
struct ReplayPaths {
    std::string program, script, canvas, expect, diff;
};

static bool resolve_paths(const ReplayOptions& options, ReplayPaths* paths) {
    const char* const given[] = {options.program, options.script, options.canvas, options.expect, options.diff};
    std::string* const resolved[] = {&paths->program, &paths->script, &paths->canvas, &paths->expect, &paths->diff};
    for (int i = 0; i < 5; ++i) {
        if (given[i] == nullptr) continue;
        *resolved[i] = full_path(given[i]);
        if (resolved[i]->empty()) return false;
    }
    return true;
}

static const char* describe_end(ReplayExit end) {
    switch (end) {
    case REPLAY_TIMED_OUT: return "did not end within the time limit and was ended";
    case REPLAY_CRASHED: return "crashed";
    case REPLAY_PROGRAM_FAILED: return "ended with its own non-zero exit code";
    default: return "ended";
    }
}

// Compares the canvas with the expected image, reports, and writes the difference image.
static int compare_with_expected(const BmpImage& canvas, const ReplayPaths& paths, const ReplayOptions& options) {
    std::vector<uint8_t> bytes;
    if (const char* why = read_whole_file(paths.expect, &bytes))
        return unreadable("cannot read the expected image", options.expect, why);
    BmpImage expected;
    if (const char* why = decode_picture(bytes, &expected))
        return bad_file((std::string("the expected image is not usable (") + why + ")").c_str(), options.expect);
    if (expected.width != canvas.width || expected.height != canvas.height) {
        fprintf(stderr, "korva-replay: the expected image is %d x %d pixels, the canvas %d x %d: %s\n", expected.width,
                expected.height, canvas.width, canvas.height, options.expect);
        return REPLAY_BAD_USE;
    }
    ImageDiff diff = compare_images(canvas, expected);
    std::vector<uint8_t> diff_bytes;
    if (!paths.diff.empty() && (!encode_picture_for(paths.diff, make_diff_image(canvas, expected), &diff_bytes) ||
                                !write_whole_file(paths.diff, diff_bytes)))
        return bad_file("cannot write the difference image", options.diff);
    if (diff.differing == 0) {
        printf("korva-replay: match: the canvas equals %s\n", options.expect);
        return REPLAY_PASSED;
    }
    printf("korva-replay: %lld of %d pixels differ from %s, within x %d..%d, y %d..%d (top row 0); "
           "tolerance %d\n",
           static_cast<long long>(diff.differing), canvas.width * canvas.height, options.expect, diff.left,
           diff.right, diff.top, diff.bottom, options.tolerance);
    if (!paths.diff.empty()) printf("korva-replay: difference image (differing pixels in red): %s\n", options.diff);
    if (diff.differing <= options.tolerance) {
        printf("korva-replay: match within the tolerance\n");
        return REPLAY_PASSED;
    }
    return REPLAY_MISMATCH;
}

static int replay(const ReplayOptions& options, const ReplayPaths& paths, const std::string& folder) {
    std::string script = folder + "\\replay.scr";
    std::string canvas_file = folder + "\\canvas.bmp";
    std::vector<uint8_t> bytes;
    if (const char* why = read_whole_file(paths.script, &bytes)) return unreadable("cannot read the script", options.script, why);
    // A file that plays nothing would leave the program's first screen, which would pass for a
    // replay, and with --update become the expected picture.
    if (!script_plays_a_line(bytes.data(), bytes.size())) {
        fprintf(stderr, "korva-replay: %s holds no script line; nothing was replayed%s\n", options.script,
                options.update ? " and no expected image written" : "");
        return REPLAY_NOTHING_TO_PLAY;
    }
    // Copied in, so the program reads exactly this script whatever it does in its folder.
    if (!write_whole_file(script, bytes)) return bad_file("cannot write into the work folder", folder.c_str());

    ChildEnd end = run_replay_child(paths.program.c_str(), script.c_str(), canvas_file.c_str(),
                                    options.timeout_s);
    if (!end.started) return bad_file("cannot start the program", options.program);
    if (end.left_running > 0)
        fprintf(stderr, "korva-replay: the program left %d process(es) running; the harness ended them\n",
                end.left_running);
    if (end.killed) {
        fprintf(stderr, "korva-replay: the program was ended from outside before it finished (killed) after %.2f s\n",
                end.seconds);
        return REPLAY_KILLED;
    }
    ReplayExit how = classify_program_end(end.timed_out, end.exit_code);
    if (how != REPLAY_PASSED) {
        if (how == REPLAY_TIMED_OUT)
            fprintf(stderr, "korva-replay: the program %s after %d s\n", describe_end(how), options.timeout_s);
        else
            fprintf(stderr, "korva-replay: the program %s: exit code %lu (0x%08lX) after %.2f s\n", describe_end(how),
                    static_cast<unsigned long>(end.exit_code), static_cast<unsigned long>(end.exit_code), end.seconds);
        return how;
    }
    printf("korva-replay: the program ended with exit code 0 after %.2f s\n", end.seconds);

    if (read_whole_file(canvas_file, &bytes) != nullptr) {
        fprintf(stderr, "korva-replay: the program left no canvas (could it read the script? does it call "
                        "KORVA_close?)\n");
        return REPLAY_NO_CANVAS;
    }
    BmpImage canvas;
    if (const char* why = decode_bmp(bytes.data(), bytes.size(), &canvas)) {
        fprintf(stderr, "korva-replay: the program's canvas file is not usable (%s)\n", why);
        return REPLAY_NO_CANVAS;
    }
    std::vector<uint8_t> out;
    if (!paths.canvas.empty() &&
        (!encode_picture_for(paths.canvas, canvas, &out) || !write_whole_file(paths.canvas, out)))
        return bad_file("cannot write the canvas", options.canvas);
    if (options.update) {
        // Only on request: an expected image is never made up as a side effect of a check.
        if (!encode_picture_for(paths.expect, canvas, &out) || !write_whole_file(paths.expect, out))
            return bad_file("cannot write the expected image", options.expect);
        printf("korva-replay: the canvas is the new expected image %s\n", options.expect);
        return REPLAY_PASSED;
    }
    if (paths.expect.empty()) return REPLAY_PASSED;
    return compare_with_expected(canvas, paths, options);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fputs(REPLAY_USAGE, stderr);
        return REPLAY_BAD_USE;
    }
    ReplayOptions options;
    if (const char* why = parse_replay_options(argc - 1, argv + 1, &options)) {
        if (options.unknown == nullptr) return bad_use(why);
        fprintf(stderr, "korva-replay: unknown option '%s' (see --help)\n", options.unknown);
        return REPLAY_BAD_USE;
    }
    if (options.help) {
        fputs(REPLAY_USAGE, stdout);
        return REPLAY_PASSED;
    }
    ReplayPaths paths;
    if (!resolve_paths(options, &paths)) return bad_use("a file name cannot be made absolute");
    if (!is_file(paths.program)) return bad_file("no such program", options.program);
    // Checked before anything runs: a folder where a picture is to be written is the user's,
    // and nothing of it may be moved or replaced.
    const struct {
        const char* option;
        const char* given;
        const std::string& path;
    } written[] = {{"--canvas", options.canvas, paths.canvas},
                   {"--diff", options.diff, paths.diff},
                   {"--expect", options.update ? options.expect : nullptr, paths.expect}};
    for (const auto& target : written) {
        if (target.given == nullptr || !is_folder(target.path)) continue;
        fprintf(stderr, "korva-replay: %s %s: a directory, not a picture file; nothing was run\n", target.option,
                target.given);
        return REPLAY_BAD_USE;
    }
    std::string folder = make_work_folder();
    if (folder.empty()) {
        fprintf(stderr, "korva-replay: cannot make a temporary folder\n");
        return REPLAY_BAD_USE;
    }
    int result = replay(options, paths, folder);
    if (!remove_work_folder(folder)) fprintf(stderr, "korva-replay: could not remove the work folder %s\n", folder.c_str());
    return result;
}
