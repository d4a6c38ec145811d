#!/usr/bin/env bash
# A classic panel with an X11 system tray (trayer): Hide in Tray puts an icon in
# it, and a double-click on the icon brings the bar back, as often as wanted.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
# A fixed width, so that the panel is on screen before any icon arrives.
background trayer --edge top --align right --widthtype pixel --width 120 --height 24 >"$WORK/trayer.log" 2>&1
expect "trayer is running" sh -c "xdotool search --onlyvisible --class trayer >/dev/null"
start_velmora

# The icon is the program's one visible window while the bar is hidden.
tray_icon() {
    ICON=$(xdotool search --onlyvisible --pid "$VELMORA_PID" 2>/dev/null | grep -vx "$WINDOW" | head -n1)
    [ -n "$ICON" ] && ! xwininfo -id "$ICON" -children | grep -q 'Parent window id:.*(the root window)'
}
for round in 1 2; do
    key ctrl+h
    expect "Hide in Tray unmaps the bar (round $round)" map_state_is IsUnMapped
    expect "its icon is embedded in the tray (round $round)" tray_icon
    xdotool mousemove --window "$ICON" 8 8 click --repeat 2 --delay 80 1
    expect "a double-click on the icon brings it back (round $round)" map_state_is IsViewable
    expect "it comes back in normal state (round $round)" output_is Normal wm_state
done
finish
