#!/usr/bin/env bash
# Recording and playback as a user does them: Ctrl+R around two clicks writes "KORVA.SCR",
# Play One (Ctrl+O) and Playback (Ctrl+P) move the hero along the same clicks, and the room
# ends with exit code 0 from the menu's Quit chosen with the mouse and from the close box.
#   room_script_test.sh SESSION_DIR ROOM_EXE WORKDIR SOURCE_DIR
SESSION_DIR=$1 ROOM_EXE=$2 WORKDIR=$3 SOURCE_DIR=$4
# shellcheck disable=SC1091
source "$SOURCE_DIR/tests/e2e/room_e2e.sh"

# Besouru enters and is taken under control, all with the mouse.
besouru_under_control() {
    menu_with_mouse 17  # "&Besouru Enters"
    poll 25 0.2 name_shown_at 0 0 || fail "no name at the centre after Besouru Enters"
    menu_with_mouse 13  # "&Control Besouru"
}

step "record two clicks"
start_room
besouru_under_control
key ctrl+h  # halted, so no periodic lines come between the clicks
key ctrl+r
click_room -100 100
poll 25 0.2 name_shown_at -100 100 || fail "the hero did not move to (-100, 100) while recording"
click_room 120 -30
poll 25 0.2 name_shown_at 120 -30 || fail "the hero did not move to (120, -30) while recording"
key ctrl+r
expected=$'KORVA_MOUSE(-100, 100);\r\nKORVA_MOUSE(120, -30);\r\n'
actual=$(cat "$WORKDIR/KORVA.SCR"; echo .)
actual=${actual%.}
[[ "$actual" == "$expected" ]] ||
    fail "KORVA.SCR: expected $(printf %q "$expected"), got $(printf %q "$actual")"

step "Play One moves the hero one recorded click at a time"
click_room -150 -150
poll 25 0.2 name_shown_at -150 -150 || fail "the hero did not move to (-150, -150)"
key ctrl+o
poll 25 0.2 name_shown_at -100 100 || fail "the first Play One did not move the hero to (-100, 100)"
name_gone_from -150 -150 || fail "the hero is still at (-150, -150) after the first Play One"
key ctrl+o
poll 25 0.2 name_shown_at 120 -30 || fail "the second Play One did not move the hero to (120, -30)"
name_gone_from -100 100 || fail "the hero is still at (-100, 100) after the second Play One"

step "Quit chosen with the mouse"
menu_with_mouse 28  # "&Quit\tCtrl+Q"
expect_exit_zero "the menu's Quit"

step "continuous playback in a new run"
start_room keep-script
besouru_under_control
key ctrl+p
poll 25 0.2 name_shown_at 120 -30 || fail "playback did not bring the hero to the last recorded click (120, -30)"
name_gone_from 0 0 || fail "the hero is still at the centre after playback"

step "the close box"
click_close_box
expect_exit_zero "a click on the close box"
