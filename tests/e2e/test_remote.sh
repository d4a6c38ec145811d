#!/usr/bin/env bash
# velmora --copy drives the running bar (--capture: test_copy_capture.sh); Ctrl+Alt+3 copies while another
# program has the focus, and a bar lets go of the keys for another; bars under load, stopped, killed, full, none.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items First "first text" "" "" Mail... $'mail\r\ntext' >"$WORK/a.vmd"
items Second "second text" "" "" Other... "second bar" >"$WORK/b.vmd"
start_velmora "$WORK/a.vmd"
first_bar=$VELMORA_PID

expect "--copy 11 gives status 1" output_is 1 status_of --copy 11
grep -q "'11' is not a slot number" "$WORK/stderr" || fail "--copy 11 says why: $(cat "$WORK/stderr")"

key alt+v g
expect "the global shortcuts setting is kept in its own file" grep -qx GlobalShortcuts=1 "$WORK/bin/velmora-keys.ini"
background xmessage -geometry 300x80+700+600 "another program" >/dev/null 2>&1
has_focus() { other=$(xdotool getactivewindow) && [ "$other" != "$WINDOW" ]; }
expect "another program has the focus" has_focus
set_clipboard other
xdotool key ctrl+alt+3
expect "Ctrl+Alt+3 copies slot 3" output_is "$(hex_of $'mail\r\ntext')" clipboard_hex
expect "the other program keeps the focus" output_is "$other" xdotool getactivewindow
key alt+v g
# A second bar that starts with the shortcuts on gets the keys only once the first has let go of them.
mkdir "$WORK/second" && cp "$WORK/bin/velmora" "$WORK/bin/libvelmora-bar.so" "$WORK/second/"
echo GlobalShortcuts=1 >"$WORK/second/velmora-keys.ini"
background "$WORK/second/velmora" "$WORK/b.vmd" >>"$WORK/velmora.log" 2>&1 && VELMORA_PID=${PIDS[-1]}
expect "a second bar is shown" bar_shown
set_clipboard other
focus "$other"
# Pressed again at each try: the second bar takes the keys once its start-up is done.
press_reaches() { xdotool key ctrl+alt+3 && output_is "$(hex_of "$1")" clipboard_hex; }
expect "Ctrl+Alt+3 now reaches the second bar" press_reaches "second bar"
quit_bar "the second bar"
VELMORA_PID=$first_bar

# Held back by a lock until all have started, then let go at once; each prints its status.
exec 9>"$WORK/start" && flock 9
for i in $(seq 200); do echo $((i % 10 + 1)); done | xargs -P 200 -I{} sh -c \
    'flock -s "$0" timeout 60 "$1" --copy {} 2>/dev/null; echo $?' "$WORK/start" "$WORK/bin/velmora" >"$WORK/many" 9>&- &
askers=$! && sleep 2 && exec 9>&-
wait "$askers"
same "200 requests at once are all done" 200 "$(grep -cx 0 "$WORK/many")"

socket=$(ls "$XDG_RUNTIME_DIR"/velmora-* | head -n1)
kill -STOP "$first_bar"
same "a stopped bar: --copy 2 ends with status 4" 4 "$(status_of --copy 2)"
same "and says why" "velmora: the running bar does not answer" "$(cat "$WORK/stderr")"
(ulimit -n 70000 2>/dev/null || ulimit -n 8192; exec perl -MIO::Socket::UNIX -e '$| = 1; @q = map { IO::Socket::UNIX->new(
    Peer => $ARGV[0], Blocking => 0) } 0..$ARGV[1]; print "full\n"; sleep 60' "$socket" "$(cat /proc/sys/net/core/somaxconn)" >"$WORK/queue") &
filler=$! && PIDS+=($!) && wait_until grep -q full "$WORK/queue"
same "its queue full: --copy 2 ends with status 4" 4 "$(status_of --copy 2)"
same "and says why" "velmora: the running bar is too busy to take the request" "$(cat "$WORK/stderr")"
kill "$filler"
kill -CONT "$first_bar"

start_velmora "$WORK/b.vmd" && kill -STOP "$first_bar"
same "the oldest bar stopped: --copy 1 ends with status 0" 0 "$(status_of --copy 1)"
same "the next bar's slot 1 is copied" "$(hex_of 'second text')" "$(clipboard_hex)"
kill -CONT "$first_bar"
expect "--copy 1 reaches the bar that has run longest" output_is 0 status_of --copy 1
expect "the first bar's slot 1 is copied" output_is "$(hex_of 'first text')" clipboard_hex
# Killed, the first bar leaves its socket behind; the second answers.
kill -KILL "$first_bar"
VELMORA_PID=$first_bar wait_until exited
expect "after kill -9 the next bar answers" output_is 0 status_of --copy 1

kill -KILL "$VELMORA_PID"
wait_until exited
# Within a second on a quiet machine (a few milliseconds, in fact); a loaded one gets more room.
start=$(date +%s%N) status=$(status_of --copy 1) took=$((($(date +%s%N) - start) / 1000000))
[ "$status" == 2 ] && [ "$took" -lt 3000 ] && grep -q "no Velmora bar is running" "$WORK/stderr" &&
    echo "ok: with no bar, status 2 and why, in $took ms" || fail "with no bar: status $status in $took ms"
finish
