#!/usr/bin/env bash
# Clip documents as a user meets them: a document named on the command line, relative and with a blank
# in its path, fills the bar, even with a label too long for a title; Ctrl+S writes the changed slots back
# byte for byte; a missing document, and a named pipe given as one, are reported.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
mkdir -p "$WORK/my clips"
# Slot 1's label of 16 MiB would, as a title, exceed the X server's largest request.
items "$(head -c 16777216 /dev/zero | tr '\0' x)" "" "" "" Third $'third\r\nline, with \x01quotes\x01' \
    >"$WORK/my clips/set one.vmd"
cd "$WORK"
start_velmora "my clips/set" "one.vmd"
click_slot 1
title_cut() { LAST=$(window_title) && [ "${LAST:0:20}" == "Velmora - xxxxxxxxxx" ] && [ ${#LAST} -lt 5000 ]; }
expect "a 16 MiB label names the slot in a title cut short" title_cut
set_clipboard "other"
click_slot 3
expect "the document's slot 3 copies its text" output_is "$(hex_of $'third\r\nline, with "quotes"')" clipboard_hex
expect "and names its label" output_is "Velmora - Third" window_title

set_clipboard "new"
click_capture 1
key ctrl+s
items new... new "" "" Third $'third\r\nline, with \x01quotes\x01' >"$WORK/expected.vmd"
expect "Ctrl+S writes the document in place" cmp -s "$WORK/expected.vmd" "$WORK/my clips/set one.vmd"

# Asked for a missing document, or a named pipe that would hold the start up until
# someone writes to it, the program says so in a message box before it shows the
# bar (the words are checked in the widget and unit tests).
mkfifo pipe.vmd
for document in missing.vmd pipe.vmd; do
    background "$WORK/bin/velmora" "$document" >>"$WORK/velmora.log" 2>&1
    VELMORA_PID=${PIDS[-1]} WINDOW=none
    expect "$document is reported" message_box_shown
    box=$(message_box)
    [ "$(windows . | wc -l)" -eq 1 ] || fail "the bar came up before the message was answered"
    answer_message_box Return
    bar_after() { bar_shown && [ "$WINDOW" != "$box" ]; }
    expect "then the bar comes up" bar_after
done
finish
