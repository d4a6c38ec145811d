#!/usr/bin/env bash
# Hide in Tray, as often as wanted, on a StatusNotifierItem panel with a global menu (the menu bar stays in the
# window; every activation brings the bar back) and on a classic X11 tray (a double-click on the icon).
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
background "$PANEL_SERVICES" >"$WORK/panel.log" 2>&1 && panel=${PIDS[-1]}
wait_until grep -q '^ready' "$WORK/panel.log" || fail "panel services did not start: $(cat "$WORK/panel.log")"
start_velmora
menu_bar_inside() { [ "$(xwininfo -id "$WINDOW" | awk '/Height:/ {print $2}')" -gt 60 ]; }
expect "StatusNotifierItem: the menu bar stays inside the window" menu_bar_inside
# Panels say Activate, ContextMenu or SecondaryActivate for a click, never double-click.
bring_back() {
    dbus-send --session --type=method_call --dest="$(sed -n 's/^item //p' "$WORK/panel.log" | tail -n1)" \
        /StatusNotifierItem "org.kde.StatusNotifierItem.$1" int32:10 int32:10
}
# The icon is the program's one visible window while the bar is hidden; trayer has reparented it.
tray_icon() {
    ICON=$(xdotool search --onlyvisible --pid "$VELMORA_PID" 2>/dev/null | grep -vx "$WINDOW" | head -n1)
    [ -n "$ICON" ] && ! xwininfo -id "$ICON" -children | grep -q 'Parent window id:.*(the root window)'
}
double_click() { tray_icon && xdotool mousemove --window "$ICON" 8 8 click --repeat 2 --delay 80 1; }
# row PANEL WAY COMMAND: Hide in Tray, then the command that brings the bar back.
row() {
    key ctrl+h
    expect "$1: Hide in Tray unmaps the bar" map_state_is IsUnMapped
    expect "$1: $2" eval "$3"
    expect "$1: with the focus" output_is "$WINDOW" xdotool getactivewindow
    expect "$1: above other windows" above
}
for method in Activate ContextMenu SecondaryActivate; do row StatusNotifierItem "the panel sends $method" "bring_back $method"; done

# A bar started once the StatusNotifierItem panel has gone finds the X11 tray.
key alt+f x && stop "$panel"
# A fixed width, so that the panel is on screen before any icon arrives.
background trayer --edge top --align right --widthtype pixel --width 120 --height 24 >"$WORK/trayer.log" 2>&1
expect "trayer is running" sh -c "xdotool search --onlyvisible --class trayer >/dev/null"
start_velmora
for round in 1 2; do row "X11 tray" "its icon is embedded and double-clicked (round $round)" double_click; done
finish
