#!/usr/bin/env bash
# The room as a user sees it, driven with real X input: the four doorways, heroes entering
# through the menu (opened with the mouse and with F10), a hero moved by clicks and leaving
# through a doorway, the entry direction, and Quit by Ctrl+Q and by Alt and the keyboard.
#   room_test.sh SESSION_DIR ROOM_EXE WORKDIR SOURCE_DIR
SESSION_DIR=$1 ROOM_EXE=$2 WORKDIR=$3 SOURCE_DIR=$4
# shellcheck disable=SC1091
source "$SOURCE_DIR/tests/e2e/room_e2e.sh"

step "the four doorways"
start_room
# Each doorway: a filled 41 x 41 square, both corners included, centred 60 px out on a diagonal.
for doorway in "#FF0000 60 60 north" "#0000FF 60 -60 east" "#00FF00 -60 -60 south" "#FFFF00 -60 60 west"; do
    read -r colour cx cy name <<<"$doorway"
    expected="41 41 $(($(screen_x "$cx") - 20)) $(($(screen_y "$cy") - 20))"
    actual=$(colour_box "$colour")
    [[ "$actual" == "$expected" ]] || fail "$name doorway box (w h x y): expected $expected, got $actual"
    filled=$(count_colour $(($(screen_x "$cx") - 20)) $(($(screen_y "$cy") - 20)) 41 41 "$colour")
    [[ "$filled" == 1681 ]] || fail "$name doorway: expected 1681 pixels of $colour, got $filled"
done
name_gone_from 0 0 || fail "an empty room shows a name at its centre"

step "Mushi enters through the menu opened with the mouse"
menu_with_mouse 16  # "&Mushi Enters"
poll 25 0.2 name_shown_at 0 0 || fail "no name appeared at the centre after Mushi Enters"

step "Mushi under control follows clicks"
menu_with_mouse 12  # "&Control Mushi"
click_room -150 -120
poll 25 0.2 name_shown_at -150 -120 || fail "the name did not appear at the click (-150, -120)"
name_gone_from 0 0 || fail "the name is still at the centre after the click"
click_room 100 150
poll 25 0.2 name_shown_at 100 150 || fail "the name did not follow the second click to (100, 150)"
name_gone_from -150 -120 || fail "the name is still at the first click"

step "a click in a doorway makes Mushi leave"
click_room 55 -65  # inside the east doorway
poll 25 0.2 name_gone_from 100 150 || fail "the name is still at (100, 150)"
name_gone_from 55 -65 || fail "the name is drawn in the east doorway after leaving"
blue=$(count_colour $(($(screen_x 60) - 20)) $(($(screen_y -60) - 20)) 41 41 "#0000FF")
[[ "$blue" == 1681 ]] || fail "east doorway after the leave: expected 1681 blue pixels, got $blue"
click_room -100 -40  # nobody is under control any more
name_gone_from -100 -40 || fail "a click after the leave drew a name"

step "Enter From North with F10, then Blazrack enters at the north doorway"
key F10 Down e  # "&Enter From North", the first item with E
key F10 Down b  # "&Blazrack Enters", the first item with B
poll 25 0.2 name_shown_at 60 60 || fail "no name at the north doorway's centre (60, 60)"
name_gone_from 0 0 || fail "Blazrack entered at the centre despite Enter From North"

step "Ctrl+Q"
key ctrl+q
expect_exit_zero "Ctrl+Q"

step "Quit with Alt and the keyboard"
start_room
key alt
key Down q
expect_exit_zero "Alt, Down, Q"
