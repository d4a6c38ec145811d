#!/usr/bin/env bash
# Always on top as the window manager sees it, the design position, and Hide in
# Tray on a desktop without a notification area. Help, Contents opens the help
# file, or says where it looked; Help, About stands centred on the bar and says
# when no browser took its address; File, Exit and the close box end the program,
# asking first when a slot has changed; the program also runs where there is no
# display at all.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
# openbox frames the bar and the About box alike: the frames are centred when the windows are.
centre() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /  Width/ {w = $2} /  Height/ {h = $2} END {print int(x + w / 2), int(y + h / 2)}'; }
about_centre() { centre "$(windows '^About Velmora$')"; }
click_address() { xdotool mousemove --window "$(windows '^About Velmora$')" 80 112 click 1; }
close_about() { focus "$(windows '^About Velmora$')" && xdotool key Escape; }
export PATH=$WORK/bin:$PATH
start_velmora
# A web browser opener that ends with the status the test gives it, once it is given.
printf '#!/bin/sh\nuntil [ -s "$0.status" ]; do sleep 0.1; done\nread s <"$0.status"; touch "$0.ended"; exit $s\n' \
    >"$WORK/bin/xdg-open" && chmod +x "$WORK/bin/xdg-open"
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
expect "help viewer shows Velmora.hlp" shown '^Velmora Help$'
key alt+h a
expect "Help, About centres the box on the bar, frames included" output_is "$(centre "$WINDOW")" about_centre
click_address
close_about
expect "the box answers while the opener of its address runs: Esc closes it" gone '^About Velmora$'
echo 4 >"$WORK/bin/xdg-open.status"
expect "the opener's failure is reported" message_box_shown
answer_message_box Return
key alt+h a
rm "$WORK/bin/xdg-open.ended" && echo 0 >"$WORK/bin/xdg-open.status"
wait_until shown '^About Velmora$' && click_address
expect "an opener that works ends" test -e "$WORK/bin/xdg-open.ended"
sleep 1 && message_box_gone && echo "ok: and nothing is reported" || fail "reported although the opener worked"
close_about
key alt+f x
expect "File, Exit with nothing changed ends the program" exited
start_velmora
rm "$WORK/bin/Velmora.hlp"
key alt+h c
expect "a missing help file is reported in the viewer" shown '^Help$'
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
