#!/usr/bin/env bash
# The replay harness and replay mode at their edges, through the fixture program: every way a
# replay can end gets its own exit code and message, bad script content ends the replay at the
# bad line as playback does and the program still ends by itself, bad expected images are
# refused, and --update writes the expected image only when asked.
#   harness_test.sh SESSION_DIR HARNESS FIXTURE WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 harness=$2 fixture=$3 work=$4 source=$5
here="$source/tests/replay"
mkdir -p "$work"
cd "$work"
rm -rf ./*

failures=()
output=""

# Runs the harness; sets $status and $output (stdout and stderr together).
run_harness() {
    status=0
    output=$(timeout 180 "$source/scripts/wine-exec.sh" "$session" "$harness" "$@" 2>&1) || status=$?
}

# expect NAME EXIT PATTERN HARNESS-ARGS...: the exit code, and a line of the output matching PATTERN.
expect() {
    local name=$1 exit_code=$2 pattern=$3
    shift 3
    run_harness "$@"
    if ((status != exit_code)); then
        failures+=("$name: expected exit code $exit_code, got $status; output: $output")
    elif ! grep -qE -- "$pattern" <<<"$output"; then
        failures+=("$name: expected a line matching /$pattern/; output: $output")
    fi
}

script() {  # script FILE TEXT: the text with CR LF line ends, as the recorder writes them
    printf '%b' "$2" | sed 's/$/\r/' >"$1"
}

# Two clicks played, then the bad line, then a click that must not be played.
script before_bad.txt 'KORVA_MOUSE(-100, 100);\nKORVA_MOUSE(0, 0);\n'
script after_bad.txt 'KORVA_MOUSE(100, -100);\n'
make_bad() {  # make_bad FILE: before_bad.txt, the bad bytes from stdin, after_bad.txt
    { cat before_bad.txt; cat; cat after_bad.txt; } >"$1"
}
printf 'hello there\r\n' | make_bad junk.scr
printf 'KORVA_\0MOUSE(5, 5);\r\n' | make_bad nul_byte.scr
{ head -c 1048576 /dev/zero | tr '\0' 'A'; printf '\r\n'; } | make_bad megabyte.scr
printf 'korva_mouse(7, 7);\r\n' | make_bad lower_case.scr
cp before_bad.txt eof_after_two.scr

for bad in junk nul_byte megabyte lower_case eof_after_two; do
    expect "bad script: $bad" 0 "^korva-replay: match" \
        --expect "$here/fixture_two_dots.bmp" --diff "diff_$bad.bmp" "$fixture" "$bad.scr"
done
# Numbers beyond 32 bits are not the end of a script: the click lands far off the canvas.
script huge_numbers.scr 'KORVA_MOUSE(-100, 100);\nKORVA_MOUSE(0, 0);\nKORVA_MOUSE(99999999999, -4294967296);\n'
expect "numbers beyond 32 bits" 0 "^korva-replay: match" --expect "$here/fixture_two_dots.bmp" "$fixture" huge_numbers.scr

# The program's endings.
script crash.scr 'KORVA_MOUSE(1, 1);\nKORVA_KBD(99);\n'
script own_exit.scr 'KORVA_KBD(120);\n'
script hang.scr 'KORVA_PERIODIC(2);\nKORVA_KBD(104);\n'
script no_close.scr 'KORVA_KBD(110);\n'
expect "crash" 4 "crashed: exit code [0-9]+ \(0xC0000005\)" "$fixture" crash.scr
expect "own exit code" 3 "own non-zero exit code: exit code 3 " "$fixture" own_exit.scr
expect "never returns" 5 "did not end within the time limit" --timeout 3 "$fixture" hang.scr
expect "no KORVA_close" 6 "left no canvas" "$fixture" no_close.scr

# Bad use and bad files.
cp before_bad.txt two.scr
convert -size 10x10 xc:white BMP3:small.bmp
convert -size 601x540 xc:white -type Palette -colors 2 BMP3:palette.bmp
expect "no script" 2 "^korva-replay: cannot read the script missing.scr: no such file" "$fixture" missing.scr
mkdir -p a_folder
mkfifo a_pipe
expect "a directory as script" 2 "cannot read the script a_folder: a directory" "$fixture" a_folder
expect "a pipe as script" 2 "cannot read the script a_pipe: not a regular file" "$fixture" a_pipe
expect "a device as script" 2 "cannot read the script .*zero: not a regular file" "$fixture" 'Z:\dev\zero'
expect "a pipe as expected image" 2 "cannot read the expected image a_pipe: not a regular file" \
    --expect a_pipe "$fixture" two.scr
truncate -s 65M huge.scr
expect "a script over the size cap" 2 "huge.scr: larger than the 64 MB" "$fixture" huge.scr
# Files that play nothing: no program is run, and --update writes nothing.
printf 'Dear diary,\r\ntoday I clicked.\r\n' >not_a_script.txt
printf '\x1aKORVA_MOUSE(0, 0);\r\n' >ctrl_z_first.scr
: >empty.scr
for name in not_a_script.txt ctrl_z_first.scr empty.scr; do
    expect "nothing to play: $name" 7 "$name holds no script line; nothing was replayed" "$fixture" "$name"
done
expect "nothing to play, with --update" 7 "and no expected image written" --update --expect from_nothing.bmp \
    "$fixture" not_a_script.txt
[[ ! -e from_nothing.bmp ]] || failures+=("nothing to play: --update wrote an expected image all the same")
expect "no program" 2 "no such program" "$work/missing.exe" two.scr
expect "no arguments" 2 "^usage: korva-replay"
expect "a program without a script" 2 "^korva-replay: a program and a script are needed \(see --help\)" "$fixture"
expect "unknown option" 2 "^korva-replay: unknown option '--colour' \(see --help\)" --colour "$fixture" two.scr
[[ $(grep -c '' <<<"$output") -eq 1 ]] || failures+=("unknown option: expected one line, got: $output")
expect "bad time limit" 2 "--timeout needs" --timeout 0 "$fixture" two.scr
expect "--update without --expect" 2 "need --expect" --update "$fixture" two.scr
expect "expected image missing" 2 "cannot read the expected image" --expect none.bmp "$fixture" two.scr
expect "expected image not a BMP" 2 "not usable \(not a BMP file" --expect megabyte.scr "$fixture" two.scr
expect "expected image too small" 2 "is 10 x 10 pixels, the canvas 601 x 540" --expect small.bmp "$fixture" two.scr
expect "expected image with a palette" 2 "not a 24- or 32-bit BMP" --expect palette.bmp "$fixture" two.scr

# A mismatch: one click more than the expected image shows. The report names the count and
# the box, and the difference image marks the dot in red.
script three.scr 'KORVA_MOUSE(-100, 100);\nKORVA_MOUSE(0, 0);\nKORVA_MOUSE(100, -100);\n'
expect "mismatch" 1 "pixels differ from .*within x [0-9]+\.\.[0-9]+, y [0-9]+\.\.[0-9]+" \
    --expect "$here/fixture_two_dots.bmp" --diff mismatch_diff.bmp "$fixture" three.scr
if [[ -f mismatch_diff.bmp ]]; then
    # The third dot's centre, (100, -100), in canvas pixels: origin_x + 100, origin_y + 100.
    box=$(grep -oE 'within x [0-9]+\.\.[0-9]+, y [0-9]+\.\.[0-9]+' <<<"$output" || true)
    read -r x0 x1 y0 y1 < <(sed -E 's/within x ([0-9]+)\.\.([0-9]+), y ([0-9]+)\.\.([0-9]+)/\1 \2 \3 \4/' <<<"$box")
    centre=$(convert mismatch_diff.bmp -format "%[pixel:p{$(((x0 + x1) / 2)),$(((y0 + y1) / 2))}]" info:)
    [[ $centre == "red" || $centre == "srgb(255,0,0)" ]] ||
        failures+=("mismatch: the difference image is $centre, not red, in the middle of the box $box")
    ((x1 - x0 == 12 && y1 - y0 == 12)) || failures+=("mismatch: expected a 13 x 13 box (one dot), got $box")
else
    failures+=("mismatch: no difference image written")
fi
expect "mismatch within the tolerance" 0 "match within the tolerance" \
    --expect "$here/fixture_two_dots.bmp" --tolerance 1000 "$fixture" three.scr

# --update writes the canvas as the expected image; the next run then matches it.
expect "update" 0 "new expected image" --update --expect new_expected.bmp "$fixture" three.scr
expect "match after update" 0 "^korva-replay: match" --expect new_expected.bmp "$fixture" three.scr
cmp -s new_expected.bmp "$here/fixture_two_dots.bmp" && failures+=("update: the new expected image shows two dots, not three")

# A program that leaves a process of its own running: the harness ends it, says so, and leaves
# neither the process nor its work folder behind.
# The harness runs in a process group of its own, so that only what it started is looked at.
script linger.scr 'KORVA_KBD(115);\nKORVA_MOUSE(-100, 100);\nKORVA_MOUSE(0, 0);\n'
status=0
( timeout 180 setsid "$source/scripts/wine-exec.sh" "$session" "$harness" --expect "$here/fixture_two_dots.bmp" \
      "$fixture" linger.scr >linger.log 2>&1 & echo $! >linger.pid; wait $! ) || status=$?
output=$(cat linger.log)
group=$(cat linger.pid)
((status == 0)) && grep -qE "left [0-9]+ process\(es\) running; the harness ended them" <<<"$output" ||
    failures+=("a lingering child: expected exit code 0 and the line about it, got $status: $output")
sleep 1
# A zombie has ended already; only running processes count.
left=$(ps -eo pgid=,stat=,args= | awk -v g="$group" '$1 == g && $2 !~ /^Z/' | grep -- '--linger' || true)
if [[ -n "$left" ]]; then
    failures+=("a lingering child: the program's child is still running after the harness: $left")
    kill -9 -- "-$group" 2>/dev/null || true
fi
grep -q "could not remove the work folder" <<<"$output" &&
    failures+=("a lingering child: the work folder was left behind: $output")

# PNG pictures: an expected picture written as PNG (much smaller than its BMP) matches the run
# it came from and catches a changed one; --canvas and --diff write PNG by their names too.
expect "PNG update" 0 "new expected image" --update --expect expected.png "$fixture" three.scr
[[ "$(head -c 4 expected.png | tail -c 3)" == "PNG" ]] || failures+=("PNG update: expected.png is not a PNG file")
(( $(stat -c %s expected.png) < 100000 )) || failures+=("PNG update: expected.png is $(stat -c %s expected.png) bytes")
expect "PNG match" 0 "^korva-replay: match" --expect expected.png --canvas canvas.png "$fixture" three.scr
cmp -s <(convert canvas.png rgb:-) <(convert expected.png rgb:-) || failures+=("PNG match: canvas.png differs from expected.png")
expect "PNG mismatch" 1 "pixels differ" --expect expected.png --diff diff.png "$fixture" two.scr
[[ "$(head -c 4 diff.png | tail -c 3)" == "PNG" ]] || failures+=("PNG mismatch: diff.png is not a PNG file")
cmp -s <(convert expected.png rgb:-) <(convert "$here/fixture_two_dots.bmp" rgb:-) &&
    failures+=("PNG update: the PNG shows two dots, not three")

# The program runs in the folder the harness runs in: a picture it loads by its own name is found
# there as in a live run, and when it is missing its console line is on the harness's output.
mkdir -p with_picture without_picture
cp "$source/tests/win32/pictures/sprite.png" with_picture/fixture_picture.png
script picture.scr 'KORVA_KBD(112);\nKORVA_MOUSE(-100, 100);\n'
(cd with_picture && expect "a picture beside the script" 0 "ended with exit code 0" --canvas seen.bmp "$fixture" ../picture.scr)
grep -q "Cannot load picture" <<<"$output" && failures+=("a picture beside the script was not found: $output")
(cd without_picture && expect "a missing picture" 0 "^console: Cannot load picture fixture_picture.png: no such file" \
    --canvas seen.bmp "$fixture" ../picture.scr)
cmp -s with_picture/seen.bmp without_picture/seen.bmp &&
    failures+=("the replay with the picture drew the same canvas as the one without it")

# A recording made before the program asked for time and chance, committed to git and checked out
# with line feeds alone (as line-end normalisation leaves it), plays every line.
script asks_time.scr 'KORVA_KBD(116);\nKORVA_MOUSE(-100, 100);\nKORVA_MOUSE(0, 0);\n'
rm -rf checkout
git init -q checkout
cp asks_time.scr checkout/
(
    cd checkout
    printf '* text=auto eol=lf\n' >.gitattributes
    git -c core.safecrlf=false add . && git -c user.name=t -c user.email=t@t commit -qm recording
    rm asks_time.scr && git checkout -q asks_time.scr
)
if grep -q $'\r' checkout/asks_time.scr; then
    failures+=("git checkout: the recording still has carriage returns; the test shows nothing")
fi
for recording in asks_time.scr checkout/asks_time.scr; do
    expect "a recording without times, $recording" 0 "^korva-replay: match" \
        --expect "$here/fixture_two_dots.bmp" "$fixture" "$recording"
done
# The end of the script is a replay's normal end: its console line is not shown as a complaint.
grep -q "EOF encountered" <<<"$output" && failures+=("a replay's output shows the end of its script: $output")

# A folder where a picture is to be written is refused, and stays as it was, contents and all.
mkdir -p users_folder/inside && echo keep >users_folder/inside/file.txt
for option in --canvas --diff; do
    args=("$option" users_folder)
    [[ "$option" == --diff ]] && args=(--expect "$here/fixture_two_dots.bmp" --diff users_folder)
    expect "$option naming a folder" 2 "^korva-replay: $option users_folder: a directory, not a picture file" \
        "${args[@]}" "$fixture" two.scr
done
expect "--update naming a folder" 2 "^korva-replay: --expect users_folder: a directory" --update \
    --expect users_folder "$fixture" two.scr
[[ "$(cat users_folder/inside/file.txt 2>/dev/null)" == keep && -x users_folder && $(ls -A | grep -c '\.tmp$') -eq 0 ]] ||
    failures+=("a folder named as a picture was moved or changed: $(ls -la users_folder users_folder/inside 2>&1)")

# The harness removes what it made in its work folder, and nothing else is left there.
mkdir -p empty_work
KORVA_REPLAY_WORK="Z:$work/empty_work" expect "a work folder of the caller's" 0 "^korva-replay: match" \
    --expect "$here/fixture_two_dots.bmp" "$fixture" two.scr
[[ -z "$(ls -A empty_work)" ]] || failures+=("the harness left files in its work folder: $(ls -A empty_work)")

# A program killed from outside is named as killed, not as one that could not read its script.
script killed.scr 'KORVA_MOUSE(1, 1);\nKORVA_KBD(104);\n'
status=0
( setsid timeout 180 "$source/scripts/wine-exec.sh" "$session" "$harness" "$fixture" killed.scr >killed.log 2>&1 &
  echo $! >killed.pid; wait $! ) &
waiter=$!
target=""
for _ in $(seq 200); do
    [[ -s killed.pid ]] && target=$(ps -eo pid=,pgid=,args= | awk -v g="$(cat killed.pid)" \
        '$2 == g && /replay_fixture/ && !/korva-replay/ {print $1}' | head -1)
    [[ -n "${target:-}" ]] && break
    sleep 0.1
done
sleep 2
[[ -n "${target:-}" ]] && kill -9 "$target"
wait "$waiter" || status=$?
output=$(cat killed.log)
((status == 137)) && grep -q "ended from outside before it finished (killed)" <<<"$output" ||
    failures+=("a killed program: expected exit code 137 and the line naming it, got $status: $output")

# Replay mode without the harness: a replay file that cannot be opened ends the program at once,
# with exit code 0 and no canvas.
# shellcheck disable=SC1091
status=0
KORVA_REPLAY=no_such_script.scr KORVA_REPLAY_CANVAS=lost.bmp \
    timeout 120 "$source/scripts/wine-exec.sh" "$session" "$fixture" || status=$?
((status == 0)) || failures+=("missing replay file: expected the program to end with 0, got $status")
[[ ! -e lost.bmp ]] || failures+=("missing replay file: a canvas was saved all the same")

if ((${#failures[@]} > 0)); then
    printf 'FAIL: %s\n' "${failures[@]}"
    exit 1
fi
echo "harness: every ending, bad script and bad image reported as expected"
