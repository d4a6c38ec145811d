#!/usr/bin/env bash
# A bar set up once comes back the same under a window manager: the settings file written at exit and
# read at the next start; a first start gives the document type to the desktop, so that opening a .vmd
# file starts the bar with it.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
INI=$WORK/bin/velmor.ini
# The client area (menu bar and button area) in pixels.
client_size() { xwininfo -id "$WINDOW" | awk '/Width:/ {w = $2} /Height:/ {print w "x" $2}'; }
ini_lines() { tr -d '\r' <"$INI" | paste -sd ' '; }

start_velmora
menu=$(($(client_size | cut -dx -f2) - 48))
# Vertical, First Button Row (the sizes of the layouts: tst_barlayout).
key alt+v v
key alt+v s b
expect "Vertical, First Button Row: one row" output_is "176x$((menu + 25))" client_size
xdotool windowmove "$WINDOW" 301 203
wait_until sh -c 'xwininfo -id "$0" | grep -q "Absolute upper-left X:  301"' "$WINDOW"
corner=$(frame_corner)
key alt+f x
expect "File, Exit ends the bar" exited
top=$((${corner#*,} * 15)) left=$((${corner%,*} * 15))
expect "the settings file holds the bar as it was" output_is \
    "$top $left 2730 1030 1 2 1 1 \"\" \"\" \"\" \"\"" ini_lines

# Vertical puts back the size of the Window Size entry in force: 1035 high.
for run in 1 2; do
    start_velmora
    expect "start $run: at the same place" output_is "$corner" frame_corner
    key alt+f x
    expect "start $run: ends" exited
    expect "start $run: the same settings" output_is "$top $left 2730 1035 1 2 1 1 \"\" \"\" \"\" \"\"" ini_lines
done

# A first start gives the desktop the document type: opening a document through it starts a bar with it loaded.
rm -rf "$INI"
start_velmora
expect "the desktop's MIME type is known, its cache rebuilt" test -s "$XDG_DATA_HOME/mime/mime.cache"
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
