#!/usr/bin/env bash
# Help, Contents opens the help file, or says where it looked; File, Exit and the
# close box end the program, asking first when a slot has changed; the program
# also runs where there is no display at all.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
help_shown() { [ -n "$(windows "$1")" ]; }
start_velmora
key alt+h c
expect "help viewer shows Velmora.hlp" help_shown '^Velmora Help$'
key alt+f x
expect "File, Exit with nothing changed ends the program" exited
start_velmora
rm "$WORK/bin/Velmora.hlp"
key alt+h c
expect "a missing help file is reported in the viewer" help_shown '^Help$'
key alt+F4
expect "the close box with nothing changed ends it" exited

# After a capture the close box asks; Esc keeps everything, No ends the program.
start_velmora
set_clipboard "unsaved work"
click_capture 2
key alt+F4
expect "the save question appears" message_box_shown
answer_message_box Escape
expect "Cancel closes the question" message_box_gone
set_clipboard "other"
click_slot 2
expect "the program runs on with the captured slot" output_is "Velmora - unsaved..." window_title
key alt+f x
expect "File, Exit asks again" message_box_shown
answer_message_box alt+n
expect "No ends the program" exited

# Without X11, tray or display (the offscreen platform) the program starts and runs.
background env -u DISPLAY QT_QPA_PLATFORM=offscreen "$WORK/bin/velmora" >"$WORK/offscreen.log" 2>&1
sleep 1
kill -0 "${PIDS[-1]}" || fail "ended offscreen: $(cat "$WORK/offscreen.log")"
finish
