#!/usr/bin/env bash
# A bar comes back the same under a window manager, through the settings file; a first start gives the
# document type to the desktop, so that opening a .vmd file starts the bar with it.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
ini_lines() { tr -d '\r' <"$WORK/bin/velmor.ini" | paste -sd ' '; }

start_velmora
# Vertical, First Button Row (the sizes of the layouts: tst_barlayout).
key alt+v v
key alt+v s b
xdotool windowmove "$WINDOW" 301 203
wait_until sh -c 'xwininfo -id "$0" | grep -q "Absolute upper-left X:  301"' "$WINDOW"
corner=$(frame_corner)
quit_bar
top=$((${corner#*,} * 15)) left=$((${corner%,*} * 15))

# Vertical puts back the size of the Window Size entry in force: 1035 high.
start_velmora
expect "the next start: at the same place" output_is "$corner" frame_corner
quit_bar "the next start"
expect "the next start: the same settings" output_is "$top $left 2730 1035 1 2 1 1 \"\" \"\" \"\" \"\"" ini_lines

rm "$WORK/bin/velmor.ini"
start_velmora
mkdir -p "$WORK/my docs"
items "" "opened by the desktop" >"$WORK/my docs/set 1.vmd"
background gio open "$WORK/my docs/set 1.vmd" >>"$WORK/velmora.log" 2>&1
first=$WINDOW
other_bar() { WINDOW=$(xdotool search --all --onlyvisible --name '^Velmora' | grep -vx "$first" | head -n1) &&
    [ -n "$WINDOW" ]; }
expect "gio open starts another bar" other_bar
VELMORA_PID=$(xdotool getwindowpid "$WINDOW") && PIDS+=("$VELMORA_PID")
set_clipboard "other"
click_slot 1
expect "holding the document" output_is "$(hex_of 'opened by the desktop')" clipboard_hex
finish
