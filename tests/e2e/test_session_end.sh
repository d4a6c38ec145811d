#!/usr/bin/env bash
# SIGTERM (what a logout sends), SIGHUP and SIGINT end the bar as File, Exit does: the settings file
# takes the bar's place and the command line's socket goes; a changed slot is not saved unasked.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items Kept "kept text" | tee "$WORK/before.vmd" >"$WORK/doc.vmd"
sockets() { find "$XDG_RUNTIME_DIR" -name 'velmora-*' | wc -l; }
top_left() { tr -d '\r' <"$WORK/bin/velmor.ini" | head -n2 | paste -sd ' '; }
# Job control, or the shell would start the bars ignoring SIGINT, which they then keep ignoring.
set -m
for signal in TERM HUP INT; do
    start_velmora "$WORK/doc.vmd"
    expect "$signal: the bar listens for the command line" output_is 1 sockets
    set_clipboard "changed"
    click_capture 1
    x=$((${x:-200} + 100))
    xdotool windowmove --sync "$WINDOW" $x 150
    corner=$(frame_corner)
    kill "-$signal" "$VELMORA_PID"
    expect "$signal: the bar ends" exited
    expect "$signal: the settings file holds its place" \
        output_is "$((${corner#*,} * 15)) $((${corner%,*} * 15))" top_left
    expect "$signal: its socket is gone" output_is 0 sockets
    expect "$signal: the changed document is not written" cmp -s "$WORK/doc.vmd" "$WORK/before.vmd"
done
finish
