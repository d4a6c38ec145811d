#!/usr/bin/env bash
# The editor as a user meets it: Edit File stays shut until a slot holds
# something, then edits a slot whose text the bar copies afterwards.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora

key ctrl+e
sleep 1
editor_shown && fail "Edit File opened before any slot was filled"
set_clipboard "first"
click_capture 2
key ctrl+e
expect "Ctrl+E opens the editor after a capture" editor_shown
click_slot 2
sleep 0.5
output_is Velmora window_title || fail "the bar took a click while the editor was open"
click_editor 1680 480 1335 375   # editor slot button 2
xdotool key ctrl+a
xdotool type --delay 50 "greet"
xdotool key Tab ctrl+a
xdotool type --delay 50 "Hello"
xdotool key Return
xdotool type --delay 50 "world"
click_editor 120 4080 2775 375   # Save This Button
click_editor 4440 4560 1335 375  # OK
expect "OK closes the editor" editor_gone
set_clipboard "other"
click_slot 2
expect "the bar copies the edited text" output_is "$(hex_of $'Hello\nworld')" clipboard_hex
expect "and names the new label" output_is "Velmora - greet" window_title
finish
