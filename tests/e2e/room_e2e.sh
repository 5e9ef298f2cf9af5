# shellcheck shell=bash
# Shared steps of the room's end-to-end tests (sourced, not run): start room.exe in the
# test session, find its client area on the screen, drive it with real X input through
# xdotool, and read pixels from screenshots. Every wait polls a bounded number of times.
#   Callers set: SESSION_DIR ROOM_EXE WORKDIR SOURCE_DIR (the test's four arguments).

set -euo pipefail

# shellcheck disable=SC1091
source "$SESSION_DIR/session.env"
cd "$WORKDIR"

ROOM_PID=""
WINDOW=""
SHOT_COUNT=0
STEP="start"

fail() {
    echo "FAIL [$STEP]: $*" >&2
    exit 1
}

step() {
    STEP=$1
    echo "--- $STEP"
}

stop_room() {
    if [[ -n "$ROOM_PID" ]] && kill -0 "$ROOM_PID" 2>/dev/null; then
        kill "$ROOM_PID" 2>/dev/null || true
        wait "$ROOM_PID" 2>/dev/null || true
    fi
    ROOM_PID=""
}
trap stop_room EXIT

# Polls up to $1 times, $2 seconds apart, until the command after them succeeds.
poll() {
    local tries=$1 pause=$2
    shift 2
    local i
    for ((i = 0; i < tries; i++)); do
        if "$@"; then return 0; fi
        sleep "$pause"
    done
    return 1
}

find_window() {
    WINDOW=$(xdotool search --name '^KORVA Graphics$' 2>/dev/null | head -n 1 || true)
    [[ -n "$WINDOW" ]]
}

# Takes a screenshot of the whole screen; its file name is in SHOT.
shoot() {
    SHOT_COUNT=$((SHOT_COUNT + 1))
    SHOT="$WORKDIR/shot-$SHOT_COUNT.png"
    import -window root "$SHOT"
}

# The colour of one screen pixel of the last screenshot, as #RRGGBB.
pixel() {
    convert "$SHOT" -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk 'NR == 2 { print $3 }'
}

# How many pixels of the rectangle x y w h of the last screenshot have colour $5 (#RRGGBB).
count_colour() {
    convert "$SHOT" -crop "${3}x${4}+$1+$2" +repage -depth 8 txt:- | grep -c -i " $5 " || true
}

# How many pixels of the rectangle x y w h of the last screenshot are dark (each channel < 0x60).
count_dark() {
    convert "$SHOT" -crop "${3}x${4}+$1+$2" +repage -depth 8 txt:- |
        awk 'function channel(i) { return index("0123456789ABCDEF", substr(h, i, 1)) - 1 }
             NR > 1 { h = toupper($3); dark = 1
                      for (i = 2; i <= 6; i += 2) if (channel(i) >= 6) dark = 0
                      n += dark }
             END { print n + 0 }'
}

# The bounding box "w h x y" of the pixels of colour $1 (#RRGGBB) in the last screenshot.
colour_box() {
    convert "$SHOT" -fill black +opaque "$1" -format '%@' info: | sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\1 \2 \3 \4/'
}

# Screen position of a point of the room's centred, y-up coordinates.
screen_x() { echo $((ORIGIN_X + $1)); }
screen_y() { echo $((ORIGIN_Y - $1)); }

# Starts the room (with a fresh working directory, unless $1 is keep-script) and waits until its window shows the drawn scene; sets ROOM_PID,
# WINDOW, the window's screen rectangle WIN_X WIN_Y WIN_W WIN_H, the client area's
# top-left CLIENT_X CLIENT_Y and the drawing origin ORIGIN_X ORIGIN_Y on the screen.
start_room() {
    stop_room
    [[ "${1:-}" == keep-script ]] || rm -f "$WORKDIR/KORVA.SCR"
    wine64 "$ROOM_EXE" </dev/null >>"$WORKDIR/room.log" 2>&1 &
    ROOM_PID=$!
    poll 100 0.2 find_window || fail "no window named \"KORVA Graphics\" appeared"
    poll 50 0.2 scene_is_drawn || fail "the red doorway never appeared on the screen"
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    WIN_X=$X WIN_Y=$Y WIN_W=$WIDTH WIN_H=$HEIGHT
    find_client_area
}

scene_is_drawn() {
    shoot
    [[ "$(count_colour 0 0 700 700 '#FF0000')" -ge 1681 ]]
}

# The pixels of a strip of the last screenshot (x y w h), one "#RRGGBB" a line, in order.
strip() {
    convert "$SHOT" -crop "${3}x${4}+$1+$2" +repage -depth 8 txt:- | awk 'NR > 1 { print $3 }'
}

# The cleared canvas has a 1-pixel black frame; its top row and left column mark the
# client area's top-left corner. They are the last black pixels above the red (north)
# doorway and left of the yellow (west) doorway.
find_client_area() {
    local w h x y
    read -r w h x y <<<"$(colour_box '#FF0000')"
    CLIENT_Y=$(strip $((x + w / 2)) "$WIN_Y" 1 $((y - WIN_Y)) | awk -v top="$WIN_Y" '$1 == "#000000" { last = NR } END { print top + last - 1 }')
    read -r w h x y <<<"$(colour_box '#FFFF00')"
    CLIENT_X=$(strip "$WIN_X" $((y + h / 2)) $((x - WIN_X)) 1 | awk -v left="$WIN_X" '$1 == "#000000" { last = NR } END { print left + last - 1 }')
    # The frame that Wine draws is as wide on the right and bottom as on the left.
    local border=$((CLIENT_X - WIN_X))
    CLIENT_W=$((WIN_W - 2 * border))
    CLIENT_H=$((WIN_Y + WIN_H - border - CLIENT_Y))
    ORIGIN_X=$((CLIENT_X + CLIENT_W / 2))
    ORIGIN_Y=$((CLIENT_Y + CLIENT_H / 2))
    echo "window ${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}, client ${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y}, origin ($ORIGIN_X, $ORIGIN_Y)"
}

# Clicks the close box that Wine draws at the right end of the caption.
click_close_box() {
    local border=$((CLIENT_X - WIN_X))
    click_at $((WIN_X + WIN_W - border - 9)) $((WIN_Y + border + 8))
}

focus_room() {
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || xdotool windowfocus "$WINDOW" 2>/dev/null || true
}

# Real X input.
key() {
    focus_room
    xdotool key --clearmodifiers "$@"
    sleep 0.3
}

click_at() {
    xdotool mousemove --sync "$1" "$2" click 1
    sleep 0.3
}

# The "&Run" popup's entries in order: "item" or "separator" (see the menu table).
RUN_MENU_LAYOUT=(item item item separator item separator item item item separator
                 item item item separator item item item separator item item item separator
                 item item item item separator item)

# Opens the "&Run" popup with a mouse click on the menu bar and finds where it lies:
# POPUP_X POPUP_Y POPUP_W POPUP_H, and LINE_ROWS, the screen rows of its top border, its
# separators and its bottom border, read from a column right of every label.
open_menu_with_mouse() {
    shoot
    local before=$SHOT
    click_at $((CLIENT_X + 12)) $((CLIENT_Y - 9))
    local i box=""
    for ((i = 0; i < 25; i++)); do
        shoot
        box=$(convert "$before" "$SHOT" -compose difference -composite \
                  -crop "${WIN_W}x$((WIN_Y + WIN_H - CLIENT_Y))+${WIN_X}+${CLIENT_Y}" +repage \
                  -format '%@' info:)
        [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[2] > 100)) && break
        sleep 0.2
    done
    if ! [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || ((BASH_REMATCH[2] <= 100)); then
        fail "the \"&Run\" popup did not open on a click on the menu bar"
    fi
    POPUP_W=${BASH_REMATCH[1]} POPUP_H=${BASH_REMATCH[2]}
    POPUP_X=$((WIN_X + BASH_REMATCH[3])) POPUP_Y=$((CLIENT_Y + BASH_REMATCH[4]))
    # Every row of that column has the popup's background colour except the lines.
    mapfile -t LINE_ROWS < <(strip $((POPUP_X + POPUP_W - 6)) "$POPUP_Y" 1 "$POPUP_H" |
        awk -v top="$POPUP_Y" '{ row[NR] = $1; n[$1]++ }
             END { for (c in n) if (n[c] > n[bg]) bg = c; for (r = 1; r <= NR; r++) if (row[r] != bg) print top + r - 1 }')
    ((${#LINE_ROWS[@]} == 9)) || fail "expected 9 lines (2 borders, 7 separators) in the popup, found ${#LINE_ROWS[@]}"
}

# Clicks entry $1 (1 to 28) of the open popup. Items between two lines share the space evenly.
pick_menu_entry() {
    local position=$1 segment=0 first=1 k
    for ((k = 1; k < position; k++)); do
        if [[ "${RUN_MENU_LAYOUT[k - 1]}" == separator ]]; then segment=$((segment + 1)); first=$((k + 1)); fi
    done
    local count=0
    k=$first
    while ((k <= ${#RUN_MENU_LAYOUT[@]})) && [[ "${RUN_MENU_LAYOUT[k - 1]}" == item ]]; do
        count=$((count + 1))
        k=$((k + 1))
    done
    local top=$((LINE_ROWS[segment] + 1)) bottom=$((LINE_ROWS[segment + 1] - 1))
    local y=$((top + (2 * (position - first) + 1) * (bottom - top + 1) / (2 * count)))
    click_at $((POPUP_X + 30)) "$y"
}

menu_with_mouse() {
    open_menu_with_mouse
    pick_menu_entry "$1"
}

# A left click at a point of the room's coordinates.
click_room() { click_at "$(screen_x "$1")" "$(screen_y "$2")"; }

# Dark pixels of a hero's name drawn at the room point (x, y): its text cell lies right of
# the point and just above it.
name_pixels_at() {
    shoot
    count_dark "$(screen_x "$1")" $(($(screen_y "$2") - 12)) 60 12
}

name_shown_at() { [[ "$(name_pixels_at "$1" "$2")" -gt 10 ]]; }
name_gone_from() { [[ "$(name_pixels_at "$1" "$2")" -eq 0 ]]; }

# Waits for the room to end by itself and checks its exit code.
expect_exit_zero() {
    local i status=""
    for ((i = 0; i < 100; i++)); do
        if ! kill -0 "$ROOM_PID" 2>/dev/null; then
            wait "$ROOM_PID" && status=0 || status=$?
            break
        fi
        sleep 0.1
    done
    [[ -n "$status" ]] || fail "the room is still running 10 s after $1"
    ROOM_PID=""
    [[ "$status" == 0 ]] || fail "exit code after $1: expected 0, got $status"
    echo "exit code 0 after $1"
}
