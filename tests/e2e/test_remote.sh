#!/usr/bin/env bash
# velmora --copy, --capture and --show from a second process drive the running
# bar as its own buttons and tray icon do; a bad slot changes nothing; the
# longest-running bar answers, also after the oldest was killed or has ended;
# with no bar the command says so at once.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items First "first text" "" "" Mail... $'mail\r\ntext' >"$WORK/a.vmd"
items Second "second text" >"$WORK/b.vmd"
items Third "third text" >"$WORK/c.vmd"
# More bars from the same folder, while the first runs from it.
another_bar() {
    background "$WORK/bin/velmora" "$@" >>"$WORK/velmora.log" 2>&1
    VELMORA_PID=${PIDS[-1]}
    expect "another bar is shown" bar_shown
}
start_velmora "$WORK/a.vmd"
first_bar=$VELMORA_PID

set_clipboard other
expect "--copy 3 is done" output_is 0 status_of --copy 3
expect "slot 3's text is on the clipboard" output_is "$(hex_of $'mail\r\ntext')" clipboard_hex
expect "the title names slot 3" output_is "Velmora - Mail..." window_title
set_clipboard "taken in"
expect "--capture 4 is done" output_is 0 status_of --capture 4
set_clipboard other
click_slot 4
expect "slot 4 took in what xclip offered" output_is "$(hex_of 'taken in')" clipboard_hex
expect "and is labelled from it" output_is "Velmora - taken i..." window_title
set_clipboard other
expect "--copy 11 gives status 1" output_is 1 status_of --copy 11
grep -q "'11' is not a slot number" "$WORK/stderr" || fail "--copy 11 says why: $(cat "$WORK/stderr")"
expect "and changes neither the clipboard" output_is "$(hex_of other)" clipboard_hex
expect "nor the title" output_is "Velmora - taken i..." window_title

key ctrl+h
expect "Ctrl+H without a tray minimises the bar" output_is Iconic wm_state
expect "--show is done" output_is 0 status_of --show
expect "--show maps the bar" output_is Normal wm_state
expect "and gives it the focus" output_is "$WINDOW" xdotool getactivewindow

# A second bar: the first, running longer, answers.
another_bar "$WORK/b.vmd"
second_bar=$VELMORA_PID second_window=$WINDOW
expect "--copy 1 reaches the bar that has run longest" output_is 0 status_of --copy 1
expect "the first bar's slot 1 is copied" output_is "$(hex_of 'first text')" clipboard_hex
# Killed, the first bar leaves its socket behind; the second answers.
kill -KILL "$first_bar"
VELMORA_PID=$first_bar wait_until exited
expect "after kill -9 the next bar answers" output_is 0 status_of --copy 1
expect "with its slot 1" output_is "$(hex_of 'second text')" clipboard_hex
# A bar started now is younger: the second still answers until it ends.
another_bar "$WORK/c.vmd"
third_bar=$VELMORA_PID
VELMORA_PID=$second_bar WINDOW=$second_window key alt+f x
VELMORA_PID=$second_bar expect "the second bar ends by File, Exit" exited
expect "then the third bar answers" output_is 0 status_of --copy 1
expect "with its slot 1" output_is "$(hex_of 'third text')" clipboard_hex

kill -KILL "$third_bar"
VELMORA_PID=$third_bar wait_until exited
# Within a second on a quiet machine (a few milliseconds, in fact); a loaded one gets more room.
start=$(date +%s%N) status=$(status_of --copy 1) took=$((($(date +%s%N) - start) / 1000000))
[ "$status" == 2 ] && [ "$took" -lt 3000 ] && grep -q "no Velmora bar is running" "$WORK/stderr" &&
    echo "ok: with no bar, status 2 and why, in $took ms" || fail "with no bar: status $status in $took ms"
finish
