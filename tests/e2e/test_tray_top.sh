#!/usr/bin/env bash
# Always on top as the window manager sees it, the design position, and Hide in
# Tray on a desktop without a notification area.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
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
finish
