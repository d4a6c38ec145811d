#!/usr/bin/env bash
# The real program on the offscreen platform (no display, no tray, no X11):
# it starts and keeps running.
source "$(dirname "$0")/lib.sh" "$@"
mkdir -p "$WORK/bin"
cp "$VELMORA_BUILT" "$WORK/bin/velmora"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$WORK/bin/velmora" >"$WORK/velmora.log" 2>&1 &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
sleep 1
kill -0 "$VELMORA_PID" 2>/dev/null && pass "runs offscreen" || fail "ended offscreen: $(cat "$WORK/velmora.log")"
finish
