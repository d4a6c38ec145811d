#!/usr/bin/env bash
# Always on top as the window manager sees it, and Hide in Tray on a desktop
# without a notification area.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora

# The design position: the button area's top-left corner at 3600, 4395 twips.
geometry=$(xwininfo -id "$WINDOW")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
check "button area at the design position" "240,293" "$left,$((top + height - 48))"

wait_until above && pass "first start is always on top" || fail "no _NET_WM_STATE_ABOVE at start: $(net_wm_state)"

window_before=$WINDOW
key alt+v a
wait_until not_above && pass "Always on Top off" || fail "still above: $(net_wm_state)"
key alt+v a
wait_until above && pass "Always on Top on again" || fail "not above again: $(net_wm_state)"
check "same window, not re-created" "$window_before" "$(find_window '^Velmora$')"

# No tray here: Hide in Tray minimises, and the window can be brought back.
key ctrl+h
wait_until [ "$(wm_state)" == "Iconic" ] && pass "Hide in Tray without a tray minimises" ||
    fail "window state after Hide in Tray: $(wm_state)"
xwininfo -id "$WINDOW" >/dev/null 2>&1 && pass "window still exists" || fail "window gone"
xdotool windowactivate --sync "$WINDOW" >/dev/null 2>&1 || true
wait_until [ "$(wm_state)" == "Normal" ] && pass "window comes back" || fail "state after activate: $(wm_state)"
wait_for_window_state "$WINDOW" IsViewable && pass "window viewable again" || fail "window not viewable"
wait_until above && pass "still above after coming back" || fail "not above after restore: $(net_wm_state)"

kill -0 "$VELMORA_PID" 2>/dev/null && pass "still running" || fail "velmora ended"
finish
