#!/usr/bin/env bash
# The bar's window and its ends: its place and Always on Top, Hide in Tray without a tray and --show, Help,
# the About box's address, the editor; File, Exit, the close box and the signals; no display at all.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
# openbox frames the bar and the About box alike: the frames are centred when the windows are.
centre() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /  Width/ {w = $2} /  Height/ {h = $2} END {print int(x + w / 2), int(y + h / 2)}'; }
about_centre() { centre "$(windows '^About Velmora$')"; }
export PATH=$WORK/bin:$PATH
start_velmora
# A web browser opener that ends with the status the test gives it, once it is given.
printf '#!/bin/sh\nuntil [ -s "$0.status" ]; do sleep 0.1; done\nread s <"$0.status"; exit $s\n' \
    >"$WORK/bin/xdg-open" && chmod +x "$WORK/bin/xdg-open"
# The button area's top-left corner at 3600, 4395 twips.
button_area_at() {
    xwininfo -id "$WINDOW" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
        /Height:/ {print x "," y + $2 - 48}'
}
expect "button area at the design position" output_is 240,293 button_area_at
expect "first start is always on top" above
key alt+v a
expect "Always on Top off" eval '! above'
expect "the same window, not re-created" output_is "$WINDOW" windows .
key ctrl+h
expect "Hide in Tray without a tray minimises" output_is Iconic wm_state
expect "--show is done" output_is 0 status_of --show
expect "--show maps the bar" output_is Normal wm_state
rm "$WORK/bin/Velmora.hlp"
key alt+h c
expect "a missing help file is reported in the viewer" shown '^Help$'
key alt+h a
expect "Help, About centres the box on the bar, frames included" output_is "$(centre "$WINDOW")" about_centre
xdotool mousemove --window "$(windows '^About Velmora$')" 80 112 click 1
focus "$(windows '^About Velmora$')" && xdotool key Escape
expect "the box answers while the opener of its address runs: Esc closes it" gone '^About Velmora$'
echo 4 >"$WORK/bin/xdg-open.status"
expect "the opener's failure is reported" message_box_shown
answer_message_box Return

# The editor holds the bar while open (its editing: tst_sloteditor); the close box asks (tst_bardocuments).
set_clipboard "first"
click_capture 2
key ctrl+e
expect "Ctrl+E opens the editor after a capture" editor_shown
click_slot 2
sleep 0.5
output_is Velmora window_title || fail "the bar took a click while the editor was open"
click_editor 4440 4560 1335 375 # OK
expect "OK closes the editor" editor_gone
key alt+F4
expect "the close box asks whether to save" message_box_shown
answer_message_box alt+n
expect "No ends the program" exited

# SIGTERM (what a logout sends; SIGHUP and SIGINT are caught alike) ends the bar as File, Exit does, without
# asking about a changed slot (not saving it: tst_bardocuments): the settings file takes its place, the socket goes.
sockets() { find "$XDG_RUNTIME_DIR" -name 'velmora-*' | wc -l; }
top_left() { tr -d '\r' <"$WORK/bin/velmor.ini" | head -n2 | paste -sd ' '; }
start_velmora
set_clipboard "changed"
click_capture 1
xdotool windowmove --sync "$WINDOW" 300 150
corner=$(frame_corner)
kill -TERM "$VELMORA_PID"
expect "SIGTERM: the bar ends" exited
expect "SIGTERM: the settings file holds its place" output_is "$((${corner#*,} * 15)) $((${corner%,*} * 15))" top_left
expect "SIGTERM: its socket is gone" output_is 0 sockets

# Without X11, tray or display (the offscreen platform) the program starts and runs.
background env -u DISPLAY QT_QPA_PLATFORM=offscreen "$WORK/bin/velmora" >"$WORK/offscreen.log" 2>&1
sleep 1
kill -0 "${PIDS[-1]}" || fail "ended offscreen: $(cat "$WORK/offscreen.log")"
finish
