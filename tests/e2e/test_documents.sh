#!/usr/bin/env bash
# A clip document named on the command line (relative, a blank, not UTF-8) fills the bar; Ctrl+S and the recent
# list keep it byte for byte; a 16 MiB label is cut in the title; a named pipe is reported before the bar.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
mkdir -p "$WORK/my clips"
document=$WORK/my\ clips/set\ caf$'\xe9'.vmd
# Slot 1's label of 16 MiB would, as a title, exceed the X server's largest request.
items "$(head -c 16777216 /dev/zero | tr '\0' x)" "" "" "" Third $'third\r\nline, with \x01quotes\x01' >"$document"
cd "$WORK"
unset LC_ALL LC_CTYPE && export LANG=C.UTF-8
start_velmora "my clips/set" $'caf\xe9.vmd'
click_slot 1
title_cut() { LAST=$(window_title) && [ "${LAST:0:20}" == "Velmora - xxxxxxxxxx" ] && [ ${#LAST} -lt 5000 ]; }
expect "a 16 MiB label names the slot in a title cut short" title_cut
set_clipboard "new"
click_capture 1
key ctrl+s
items new... new "" "" Third $'third\r\nline, with \x01quotes\x01' >"$WORK/expected.vmd"
expect "Ctrl+S writes the document in place" cmp -s "$WORK/expected.vmd" "$document"
quit_bar
recent_1() { sed -n 9p "$WORK/bin/velmor.ini" | tr -d '\r\n' | od -An -tx1 | tr -d ' \n'; }
expect "the recent list names it" output_is "$(hex_of "\"$document\"")" recent_1

# A pipe would hold the start up: it is reported (tst_clipdocument) before the bar comes up at its stored place.
mkfifo pipe.vmd
printf '3000\r\n6000\r\n6690\r\n1380\r\n1\r\n1\r\n0\r\n1\r\n""\r\n""\r\n""\r\n""\r\n' >"$WORK/bin/velmor.ini"
background "$WORK/bin/velmora" pipe.vmd >>"$WORK/velmora.log" 2>&1
VELMORA_PID=${PIDS[-1]} WINDOW=none
expect "a named pipe is reported" message_box_shown
box=$(message_box)
[ "$(windows . | wc -l)" -eq 1 ] || fail "the bar came up before the message was answered"
answer_message_box Return
bar_after() { bar_shown && [ "$WINDOW" != "$box" ]; }
expect "then the bar comes up" bar_after
expect "at its place" output_is 400,200 frame_corner
finish
