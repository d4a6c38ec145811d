#!/usr/bin/env bash
# velmora --copy drives the running bar (--capture: test_copy_capture.sh); Ctrl+Alt+3 copies while another
# program has the focus (letting go of the keys: tst_globalshortcuts); a bar under load, and none. Bars stopped,
# killed, full or several, and a wrong slot number: tst_remoteclient.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items First "first text" "" "" Mail... $'mail\r\ntext' >"$WORK/a.vmd"
start_velmora "$WORK/a.vmd"

key alt+v g
expect "the global shortcuts setting is kept in its own file" grep -qx GlobalShortcuts=1 "$WORK/bin/velmora-keys.ini"
background xmessage -geometry 300x80+700+600 "another program" >/dev/null 2>&1
has_focus() { other=$(xdotool getactivewindow) && [ "$other" != "$WINDOW" ]; }
expect "another program has the focus" has_focus
set_clipboard other
xdotool key ctrl+alt+3
expect "Ctrl+Alt+3 copies slot 3" output_is "$(hex_of $'mail\r\ntext')" clipboard_hex
expect "the other program keeps the focus" output_is "$other" xdotool getactivewindow

# Held back by a lock until all have started, then let go at once; each prints its status.
exec 9>"$WORK/start" && flock 9
for i in $(seq 200); do echo $((i % 10 + 1)); done | xargs -P 200 -I{} sh -c \
    'flock -s "$0" timeout 60 "$1" --copy {} 2>/dev/null; echo $?' "$WORK/start" "$WORK/bin/velmora" >"$WORK/many" 9>&- &
askers=$! && sleep 2 && exec 9>&-
wait "$askers"
same "200 requests at once are all done" 200 "$(grep -cx 0 "$WORK/many")"

kill -KILL "$VELMORA_PID"
wait_until exited
# Within a second on a quiet machine (a few milliseconds, in fact); a loaded one gets more room.
start=$(date +%s%N) status=$(status_of --copy 1) took=$((($(date +%s%N) - start) / 1000000))
[ "$status" == 2 ] && [ "$took" -lt 3000 ] && grep -q "no Velmora bar is running" "$WORK/stderr" &&
    echo "ok: with no bar, status 2 and why, in $took ms" || fail "with no bar: status $status in $took ms"
finish
