#!/usr/bin/env bash
# Always on top as the window manager sees it, the design position, and Hide in
# Tray on a desktop without a notification area. Help, Contents opens the help
# file, or says where it looked; Help, About stands centred on the bar; File,
# Exit and the close box end the program,
# asking first when a slot has changed; the program also runs where there is no
# display at all.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
help_shown() { [ -n "$(windows "$1")" ]; }
# openbox frames the bar and the About box alike: the frames are centred when the windows are.
centre() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /  Width/ {w = $2} /  Height/ {h = $2} END {print int(x + w / 2), int(y + h / 2)}'; }
about_centre() { centre "$(windows '^About Velmora$')"; }
start_velmora
# The button area's top-left corner at 3600, 4395 twips.
button_area_at() {
    xwininfo -id "$WINDOW" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
        /Height:/ {print x "," y + $2 - 48}'
}
expect "button area at the design position" output_is 240,293 button_area_at
not_above() { ! above; }
expect "first start is always on top" above
key alt+v a
expect "Always on Top off" not_above
key alt+v a
expect "Always on Top on again" above
expect "the same window, not re-created" output_is "$WINDOW" windows .
key ctrl+h
expect "Hide in Tray without a tray minimises" output_is Iconic wm_state
xdotool windowactivate "$WINDOW" >/dev/null 2>&1 || true
expect "the bar comes back" output_is Normal wm_state
expect "it is still above" above
key alt+h c
expect "help viewer shows Velmora.hlp" help_shown '^Velmora Help$'
key alt+h a
expect "Help, About centres the box on the bar, frames included" output_is "$(centre "$WINDOW")" about_centre
focus "$(windows '^About Velmora$')" && xdotool key Escape
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
