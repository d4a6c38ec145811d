#!/usr/bin/env bash
# Clip documents as a user meets them: a document named on the command line, relative and with a blank
# in its path or a name that is not UTF-8, fills the bar, even with a label too long for a title; Ctrl+S
# writes the slots back byte for byte; a missing document or a named pipe is reported, the bar kept in place.
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

set_clipboard "new"
click_capture 1
key ctrl+s
items new... new "" "" Third $'third\r\nline, with \x01quotes\x01' >"$WORK/expected.vmd"
expect "Ctrl+S writes the document in place" cmp -s "$WORK/expected.vmd" "$WORK/my clips/set one.vmd"
key alt+f x
expect "File, Exit ends the bar" exited

# A name that is not UTF-8 opens from the command line whatever the locale, Ctrl+S writes the
# document back under that name, and the recent list in the settings file keeps it byte for byte.
recent_1() { sed -n 9p "$WORK/bin/velmor.ini" | tr -d '\r\n' | od -An -tx1 | tr -d ' \n'; }
for name in $'caf\xe9' $'a\xff\xfeb'; do
    for locale in unset C.UTF-8; do
        row="$(printf %q "$name"), LANG $locale"
        unset LC_ALL LC_CTYPE LANG && [ "$locale" == unset ] || export LANG=$locale
        items "" "$locale" >"$WORK/$name.vmd"
        start_velmora "$WORK/$name.vmd"
        set_clipboard "other"
        click_slot 1
        expect "$row: opened" output_is "$(hex_of "$locale")" clipboard_hex
        set_clipboard "saved"
        click_capture 1
        key ctrl+s
        items saved... saved >"$WORK/expected.vmd"
        expect "$row: Ctrl+S writes it under its name" cmp -s "$WORK/expected.vmd" "$WORK/$name.vmd"
        key alt+f x
        expect "$row: File, Exit ends the bar" exited
        expect "$row: the recent list names it" output_is "$(hex_of "\"$WORK/$name.vmd\"")" recent_1
    done
done

# Asked for a missing document, or a named pipe that would hold the start up until
# someone writes to it, the program says so in a message box before it shows the
# bar (the words are checked in the widget and unit tests), and the bar then comes
# up where the settings file puts it, and stays there.
mkfifo pipe.vmd
ini_lines() { tr -d '\r' <"$WORK/bin/velmor.ini" | head -n4 | paste -sd ' '; }
for document in missing.vmd pipe.vmd; do
    printf '3000\r\n6000\r\n6690\r\n1380\r\n1\r\n1\r\n0\r\n1\r\n""\r\n""\r\n""\r\n""\r\n' >"$WORK/bin/velmor.ini"
    background "$WORK/bin/velmora" "$document" >>"$WORK/velmora.log" 2>&1
    VELMORA_PID=${PIDS[-1]} WINDOW=none
    expect "$document is reported" message_box_shown
    box=$(message_box)
    [ "$(windows . | wc -l)" -eq 1 ] || fail "the bar came up before the message was answered"
    answer_message_box Return
    bar_after() { bar_shown && [ "$WINDOW" != "$box" ]; }
    expect "then the bar comes up" bar_after
    expect "at its place" output_is 400,200 frame_corner
    key alt+f x
    expect "File, Exit ends it" exited
    expect "and keeps that place" output_is "3000 6000 6690 1380" ini_lines
done
finish
