#!/usr/bin/env bash
# Help, Contents opens the help file; File, Exit and the close box end the
# program, asking first when a slot has changed.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

# Help, Contents shows the shipped help file.
start_velmora
key alt+h c
wait_until has_window '^Velmora Help$' && pass "help viewer shows Velmora.hlp" || fail "no help window"

# File, Exit with nothing changed: no question, the program ends.
key alt+f x
wait_until exited && pass "File, Exit ends the program" || fail "still running after File, Exit"

# The close box with nothing changed ends it too.
start_velmora
key alt+F4
wait_until exited && pass "close box ends the program" || fail "still running after the close box"

# After a capture the close box asks; Esc keeps everything.
start_velmora
set_clipboard "unsaved work"
click_capture 2
key alt+F4
wait_until message_box_shown && pass "the save question appears" || fail "no save question"
answer_message_box Escape
sleep 0.5
kill -0 "$VELMORA_PID" 2>/dev/null && pass "Cancel keeps the program running" || fail "ended after Cancel"
set_clipboard "other"
click_slot 2
wait_until title_is "Velmora - unsaved..." && pass "the captured slot is still there" ||
    fail "slot 2 lost: title $(window_title)"

# File, Exit asks again; No ends the program.
key alt+f x
wait_until message_box_shown || fail "no save question on File, Exit"
answer_message_box alt+n
wait_until exited && pass "No ends the program" || fail "still running after No"
finish
