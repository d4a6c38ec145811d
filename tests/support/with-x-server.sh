#!/usr/bin/env bash
# Runs a test program on an X server of its own (Xvfb on a display no other test
# uses), which goes when the program ends. Usage: with-x-server.sh PROGRAM [ARGS]
set -u
folder=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$folder/display" 2>"$folder/log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$folder"' EXIT
for _ in $(seq 600); do [ -s "$folder/display" ] && break; sleep 0.1; done
[ -s "$folder/display" ] || { cat "$folder/log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$folder/display")" QT_QPA_PLATFORM=xcb
"$@"
