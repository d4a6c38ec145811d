#!/usr/bin/env bash
# A desktop whose panel speaks StatusNotifierItem over D-Bus and offers a global
# menu (KDE Plasma, GNOME with AppIndicator): the menu bar stays in the window,
# and every activation the panel sends to the tray icon brings the bar back.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
background "$PANEL_SERVICES" --global-menu >"$WORK/panel.log" 2>&1
wait_until grep -q '^ready' "$WORK/panel.log" || fail "panel services did not start: $(cat "$WORK/panel.log")"
start_velmora

# The client area holds the menu bar above the two rows of 24 pixels.
menu_bar_inside() { [ "$(xwininfo -id "$WINDOW" | awk '/Height:/ {print $2}')" -gt 60 ]; }
expect "the menu bar stays inside the window" menu_bar_inside

# Panels call Activate for a click, ContextMenu for a right click and
# SecondaryActivate for a middle click; none of them ever says double-click.
for method in Activate ContextMenu SecondaryActivate; do
    key ctrl+h
    expect "Hide in Tray unmaps the bar ($method)" map_state_is IsUnMapped
    item=$(sed -n 's/^item //p' "$WORK/panel.log" | tail -n1)
    [ -n "$item" ] || fail "no tray icon registered with the panel"
    dbus-send --session --type=method_call --dest="$item" /StatusNotifierItem \
        "org.kde.StatusNotifierItem.$method" int32:10 int32:10 || fail "$method not delivered"
    expect "$method brings the bar back" map_state_is IsViewable
    expect "$method leaves it in normal state" output_is Normal wm_state
    expect "$method gives it the focus" output_is "$WINDOW" xdotool getactivewindow
    expect "$method keeps it above" above
done
finish
