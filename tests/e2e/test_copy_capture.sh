#!/usr/bin/env bash
# The user's view of copy and capture: the clipboard as another program sees it,
# byte for byte, and the window title; owners that stop answering.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora

# row SLOT CLIPBOARD HOW TITLE: another program puts the text on the clipboard
# ("<picture>": only a picture, "<none>": no capture), the slot captures it,
# another program takes the clipboard, and the slot is copied back by its button
# or by the keys of the Copy Text menu.
row() {
    local text=$2
    case $text in
    "<none>") text="" ;;
    "<picture>")
        printf '\x89PNG\r\n\x1a\n' | xclip -selection clipboard -t image/png -i
        wait_until sh -c 'xclip -selection clipboard -t TARGETS -o | grep -q image/png' && text="" && click_capture "$1" ;;
    *) set_clipboard "$text" && click_capture "$1" ;;
    esac
    set_clipboard "other"
    if [ "$3" == button ]; then click_slot "$1"; else key $3; fi
    expect "title after copying slot $1" output_is "$4" window_title
    expect "clipboard after copying slot $1" output_is "$(hex_of "$text")" clipboard_hex
}
row 1 $'Çà et là\nbientôt' button "Velmora - Çà et l..."
# A captured label has no access key: the arrow keys reach entry 7 past the disabled ones.
row 7 $'line one\r\nline two\r\n' "alt+t Down Return" "Velmora - line on..."
row 3 $'abcdef\U0001F600 smile' button $'Velmora - abcdef\U0001F600...'
row 10 "<picture>" button "Velmora - ..."
row 5 "<none>" button "Velmora"

# owner_stops SIGNAL BYTES: the owner of a 100 MB text gets the signal once it has sent BYTES more (0: before
# the bar asks it anything); it sends a piece only when the bar asks, so the bar is held still meanwhile. The
# slot keeps what it had. Left alone, the owner hands the whole text over, and the bar copies it back whole.
head -c 100000000 /dev/zero | tr '\0' a >"$WORK/long.txt"
first_byte() { timeout 20 xclip -selection clipboard -o 2>/dev/null | head -c 1; }
sent() { awk '/^wchar/ {print $2}' "/proc/$1/io" 2>/dev/null || echo 0; }
owner_stops() {
    xclip -selection clipboard -i -quiet <"$WORK/long.txt" >/dev/null 2>&1 &
    local owner=$! end=$((SECONDS + 20)) && PIDS+=("$owner")
    WAIT=60 wait_until output_is a first_byte || fail "xclip did not take the clipboard"
    local until=$(($(sent "$owner") + $2))
    [ "$2" -gt 0 ] || kill -STOP "$owner"
    click_capture 4
    while [ "$(sent "$owner")" -lt "$until" ] && [ "$SECONDS" -lt "$end" ]; do :; done
    kill -STOP "$VELMORA_PID" && kill "-$1" "$owner" && kill -CONT "$VELMORA_PID"
    expect "the bar reports an owner that got $1 after $2 bytes" message_box_shown
    answer_message_box Return
    set_clipboard "other"
    click_slot 4
    expect "slot 4 kept its label" output_is "Velmora - kept te..." window_title
    expect "slot 4 kept its text" output_is "$(hex_of 'kept text')" clipboard_hex
}
set_clipboard "kept text"
click_capture 4
owner_stops STOP 0
owner_stops KILL 2000000
owner_stops STOP 2000000
xclip -selection clipboard -i -quiet <"$WORK/long.txt" >/dev/null 2>&1 & PIDS+=($!)
WAIT=60 wait_until output_is a first_byte || fail "xclip did not take the clipboard"
same "a 100 MB capture is done" 0 "$(status_of --capture 4)"
click_slot 4
expect "the bar holds the clipboard, slot 4 named" output_is "Velmora - aaaaaaa..." window_title
WAIT=60 expect "a 100 MB text is captured whole" output_is 100000000 sh -c "timeout 20 xclip -selection clipboard -o | wc -c"
finish
