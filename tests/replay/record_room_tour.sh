#!/usr/bin/env bash
# A tour of the room recorded as a user records it: the room runs with KORVA_RECORD_COMMANDS=1
# and is driven with real X input (Ctrl shortcuts, the "&Run" menu chosen with the mouse, clicks
# in the room) between two Ctrl+R; heroes enter from each of the four directions, are taken
# under control and moved by clicks, one leaves through a doorway by a click and one by the
# menu, and logging is switched on. The recorded KORVA.SCR must hold the tour's menu commands
# in order. Given the harness, the recording is then replayed and its final canvas must equal
# tests/replay/room_tour.bmp, the expected picture of tests/replay/room_tour.scr (a recording
# made by this script).
#   record_room_tour.sh SESSION_DIR ROOM_EXE WORKDIR SOURCE_DIR [HARNESS]
SESSION_DIR=$1 ROOM_EXE=$2 WORKDIR=$3 SOURCE_DIR=$4 HARNESS=${5:-}
# shellcheck disable=SC1091
source "$SOURCE_DIR/tests/e2e/room_e2e.sh"

# Positions of the "&Run" popup's entries (see RUN_MENU_LAYOUT in room_e2e.sh).
ENTRY_CONTROL_BLAZRACK=11 ENTRY_CONTROL_MUSHI=12 ENTRY_CONTROL_BESOURU=13
ENTRY_BLAZRACK_ENTERS=15 ENTRY_MUSHI_ENTERS=16 ENTRY_BESOURU_ENTERS=17
ENTRY_BLAZRACK_LEAVES=19
ENTRY_FROM_NORTH=23 ENTRY_FROM_EAST=24 ENTRY_FROM_SOUTH=25 ENTRY_FROM_WEST=26

# A hero's name appears at the doorway of the direction it entered from.
enter_from() {
    local direction_entry=$1 hero_entry=$2 x=$3 y=$4
    menu_with_mouse "$direction_entry"
    menu_with_mouse "$hero_entry"
    poll 25 0.2 name_shown_at "$x" "$y" || fail "no name at ($x, $y) after entry $hero_entry"
}

# Mouse moves over the room: each is a message, and a wait makes a periodic event once it has
# handled more than 100 messages while animation runs or a frame is asked for.
stir() {
    local i x y
    x=$(screen_x -250) y=$(screen_y -200)
    for ((i = 0; i < $1; i++)); do
        xdotool mousemove "$x" "$y" mousemove $((x + 4)) "$y"
    done
    sleep 0.5
}

move_to() {
    click_room "$1" "$2"
    poll 25 0.2 name_shown_at "$1" "$2" || fail "the hero under control did not move to ($1, $2)"
}

export KORVA_RECORD_COMMANDS=1
step "record the tour"
start_room
key ctrl+r
key ctrl+l
enter_from "$ENTRY_FROM_NORTH" "$ENTRY_BESOURU_ENTERS" 60 60
enter_from "$ENTRY_FROM_EAST" "$ENTRY_BLAZRACK_ENTERS" 60 -60
enter_from "$ENTRY_FROM_SOUTH" "$ENTRY_MUSHI_ENTERS" -60 -60
menu_with_mouse "$ENTRY_CONTROL_BESOURU"
move_to -180 150
move_to 150 170
menu_with_mouse "$ENTRY_CONTROL_MUSHI"
move_to -200 -170
menu_with_mouse "$ENTRY_CONTROL_BLAZRACK"
move_to 210 -120
menu_with_mouse "$ENTRY_CONTROL_BESOURU"
# Into the red (north) doorway, off its centre: Besouru leaves the room. Were the click not
# taken as a leave, his name would stay there, apart from where he enters again.
click_room 68 52
poll 25 0.2 name_gone_from 150 170 || fail "Besouru did not leave through the north doorway"
# And comes back from the west.
enter_from "$ENTRY_FROM_WEST" "$ENTRY_BESOURU_ENTERS" -60 60
menu_with_mouse "$ENTRY_BLAZRACK_LEAVES"
poll 25 0.2 name_gone_from 210 -120 || fail "Blazrack did not leave by the menu"
key ctrl+h
key ctrl+f
stir 120
key ctrl+a
stir 250
key ctrl+r
key ctrl+q
expect_exit_zero "Ctrl+Q"

step "the recording holds the tour's commands"
# Ctrl+L, then each direction before its hero, the Control commands, Besouru's entry after
# his leave through the doorway (which is a click, not a command), Blazrack Leaves, Ctrl+H,
# Ctrl+F and Ctrl+A.
expected="4 19 13 21 14 20 15 10 12 11 10 22 13 17 2 3 1"
actual=$(tr -d '\r' <"$WORKDIR/KORVA.SCR" | sed -n 's/^KORVA_COMMAND(\([0-9]*\));$/\1/p' | tr '\n' ' ')
[[ "${actual% }" == "$expected" ]] || fail "commands in KORVA.SCR: expected $expected, got ${actual% }"
clicks=$(grep -c '^KORVA_MOUSE(' "$WORKDIR/KORVA.SCR" || true)
((clicks == 5)) || fail "expected 5 click lines in KORVA.SCR, got $clicks"
other=$(tr -d '\r' <"$WORKDIR/KORVA.SCR" | grep -cvE '^KORVA_(COMMAND|MOUSE|PERIODIC)\(-?[0-9]+(, -?[0-9]+)?\);$' || true)
((other == 0)) || fail "KORVA.SCR has $other lines that are no recorder lines"
periodic=$(grep -c '^KORVA_PERIODIC(' "$WORKDIR/KORVA.SCR" || true)
((periodic >= 1)) || fail "expected periodic lines from the animation in KORVA.SCR, got none"
echo "recorded: $(wc -l <"$WORKDIR/KORVA.SCR") lines, $periodic of them periodic"

[[ -n "$HARNESS" ]] || exit 0
step "replay the recording"
status=0
timeout 180 "$SOURCE_DIR/scripts/wine-exec.sh" "$SESSION_DIR" "$HARNESS" --canvas canvas.bmp \
    --expect "$SOURCE_DIR/tests/replay/room_tour.bmp" --diff diff.bmp "$ROOM_EXE" KORVA.SCR || status=$?
((status == 0)) || fail "the replay of the recording: korva-replay exit code $status (see $WORKDIR/diff.bmp)"
echo "record then replay: the recorded tour replayed to the expected picture"
