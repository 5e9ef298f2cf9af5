# Shared steps of the example smoke tests, sourced by each tests/examples/<name>_smoke.sh:
# start a program under Wine in the test session, find its windows, drive it with real X
# input, read pixels of screenshots, and check that it ends by itself with exit code 0.
# The caller sets: session (the Wine session dir), exe, work (working dir), source (tree).
# shellcheck shell=bash disable=SC2154

# shellcheck disable=SC1091
source "$session/session.env"
exe=$(realpath "$exe")
program_pid=""

stop_program() {
    if [[ -n "$program_pid" ]] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
    fi
}
trap stop_program EXIT

# To stderr, so a failure inside $(...) is still seen.
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

start_program() {
    cd "$work" || exit 1
    "$source/scripts/wine-exec.sh" "$session" "$exe" >"$work/program.log" 2>&1 &
    program_pid=$!
}

# Prints the X id of the program's own visible window with this exact title (a window left
# by another program must not stand in for it), waiting up to 60 s: the first program of a
# fresh Wine prefix takes a while.
wait_for_window() {
    local title=$1 id=""
    for _ in $(seq 300); do
        id=$(xdotool search --all --onlyvisible --pid "$program_pid" --name "^$title\$" 2>/dev/null | head -n 1 || true)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window \"$title\" appeared"
        sleep 0.2
    done
    fail "no window \"$title\" appeared within 60 s"
}

wait_until_gone() {
    local title=$1
    for _ in $(seq 100); do
        xdotool search --all --onlyvisible --pid "$program_pid" --name "^$title\$" >/dev/null 2>&1 ||
            return 0
        sleep 0.1
    done
    fail "the window \"$title\" was still there after 10 s"
}

# Sets win_x, win_y, win_w, win_h from the window's X geometry.
window_geometry() {
    # shellcheck disable=SC2034  # WINDOW and SCREEN are set by the eval and not needed
    local WINDOW X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
}

# The graphics window's client area under Wine's own frame (no window manager): 3 pixels of
# border at the sides and bottom, caption and menu bar above. canvas_sx/sy is the screen
# position of the canvas's top-left pixel, origin_sx/sy that of drawing coordinate (0, 0).
locate_canvas() {
    window_geometry "$1"
    local client_w=$((win_w - 6)) client_h=496
    canvas_sx=$((win_x + 3))
    canvas_sy=$((win_y + win_h - 3 - client_h))
    origin_sx=$((canvas_sx + client_w / 2))
    origin_sy=$((canvas_sy + client_h / 2))
}

# Screen position of a drawing coordinate.
screen_x() { echo $((origin_sx + $1)); }
screen_y() { echo $((origin_sy - $1)); }

# Answers the title prompt with $1: a click in the middle of the dialog lies in its edit box
# (the keys go to the window under the pointer), then the title, Enter, and the dialog closes.
answer_title_prompt() {
    local dialog
    dialog=$(wait_for_window "KORVA_gets")
    window_geometry "$dialog"
    xdotool mousemove $((win_x + win_w / 2)) $((win_y + win_h / 2)) click 1
    sleep 0.3
    xdotool type --delay 20 "$1"
    xdotool key Return
    wait_until_gone "KORVA_gets"
}

# Finds the graphics window and waits until the canvas shows in it; sets window (its X id)
# and, through locate_canvas, the window's geometry and the canvas's screen positions.
wait_for_graphics() {
    window=$(wait_for_window "KORVA Graphics")
    locate_canvas "$window"
    wait_for_canvas
}

# Clicks each drawing coordinate "X Y ..." in turn (words after X and Y are ignored).
click_each() {
    local click x y
    for click in "$@"; do
        read -r x y _ <<<"$click"
        xdotool mousemove "$(screen_x "$x")" "$(screen_y "$y")" click 1
        sleep 0.3
    done
}

shoot() {
    import -window root "$1"
}

# "R,G,B" of one pixel of an image.
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

expect_pixel() {
    local image=$1 x=$2 y=$3 expected=$4 what=$5 actual
    actual=$(pixel "$image" "$x" "$y")
    [[ "$actual" == "$expected" ]] || fail "$what at screen ($x,$y): expected rgb($expected), got rgb($actual)"
}

# A cleared canvas has a 1-pixel black frame; once its corner shows, the canvas has reached
# the window. Waits up to 30 s.
wait_for_canvas() {
    local shot="$work/canvas-check.png"
    for _ in $(seq 60); do
        shoot "$shot"
        # The frame is black and the pixel inside it is not: white, or whatever the program drew
        # there first. A game may draw over the frame at the start (a rock on the corner), so
        # the frame's corner or the middle of its left side will do.
        if [[ $(pixel "$shot" "$canvas_sx" "$canvas_sy") == 0,0,0 &&
              $(pixel "$shot" $((canvas_sx + 1)) $((canvas_sy + 1))) != 0,0,0 ]] ||
           [[ $(pixel "$shot" "$canvas_sx" $((canvas_sy + 270))) == 0,0,0 &&
              $(pixel "$shot" $((canvas_sx + 1)) $((canvas_sy + 270))) != 0,0,0 ]]; then
            return 0
        fi
        sleep 0.5
    done
    fail "the canvas (a black frame, with its inside drawn) did not reach the window at screen ($canvas_sx,$canvas_sy)"
}

# The bounding box "WxH+X+Y" of every pixel of one colour in an image region, or "none".
colour_box() {
    local image=$1 region=$2 rgb=$3 box
    box=$(convert "$image" -crop "$region" +repage -fill black +opaque "rgb($rgb)" \
              -fill white -opaque "rgb($rgb)" -format '%@' info: 2>/dev/null)
    [[ "$box" == 0x0* || -z "$box" ]] && box=none
    echo "$box"
}

# Many small mouse moves over the window: each one is a message for the program, and the
# library makes a periodic event once a wait has handled more than 100 messages.
stir_messages() {
    local count=${1:-300} x y
    x=$(screen_x -200)
    y=$(screen_y -150)
    for _ in $(seq "$count"); do
        xdotool mousemove "$x" "$y"
        xdotool mousemove $((x + 3)) "$y"
    done
    sleep 0.3
}

# Waits up to 30 s for the program to end and checks its exit code.
expect_exit_zero() {
    for _ in $(seq 150); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$program_pid" 2>/dev/null && fail "the program was still running 30 s after Ctrl+Q"
    local status=0
    wait "$program_pid" || status=$?
    program_pid=""
    ((status == 0)) || fail "exit code: expected 0, got $status"
}

# Checks that collect their failures, so one run reports every wrong pixel at once.
check_failures=()
check_pixel() {
    local image=$1 x=$2 y=$3 expected=$4 what=$5 actual
    actual=$(pixel "$image" "$x" "$y")
    [[ "$actual" == "$expected" ]] ||
        check_failures+=("$what at screen ($x,$y): expected rgb($expected), got rgb($actual)")
}
finish_checks() {
    ((${#check_failures[@]} == 0)) && return 0
    printf 'FAIL: %s\n' "${check_failures[@]}"
    exit 1
}

# Saves the graphics window alone, for the documentation.
save_window_shot() {
    convert "$1" -crop "${win_w}x${win_h}+${win_x}+${win_y}" +repage "$2"
}
