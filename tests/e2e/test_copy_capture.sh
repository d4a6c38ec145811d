#!/usr/bin/env bash
# The user's view of copy and capture: the clipboard as another program sees it, byte for byte, and the
# window title; a 100 MB capture. While an owner trickles its text the bar answers, until the deadline, Cancel,
# or the asker leaves: the status of velmora --capture 6, slot 6 after it, the message. The ways an owner fails
# and the forms other programs ask for: tst_x11clipboard.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora

# row SLOT CLIPBOARD HOW TITLE: another program puts the text on the clipboard
# ("<none>": no capture), the slot captures it,
# another program takes the clipboard, and the slot is copied back by its button
# or by the keys of the Copy Text menu.
row() {
    local text=$2
    case $text in
    "<none>") text="" ;;
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
row 5 "<none>" button "Velmora"

# A 100 MB text from xclip is captured whole, and the bar copies it back whole.
head -c 100000000 /dev/zero | tr '\0' a >"$WORK/long.txt"
first_byte() { timeout 20 xclip -selection clipboard -o 2>/dev/null | head -c 1; }
xclip -selection clipboard -i -quiet <"$WORK/long.txt" >/dev/null 2>&1 & PIDS+=($!)
WAIT=60 wait_until output_is a first_byte || fail "xclip did not take the clipboard"
same "a 100 MB capture is done" 0 "$(status_of --capture 4)"
click_slot 4
expect "the bar holds the clipboard, slot 4 named" output_is "Velmora - aaaaaaa..." window_title
WAIT=60 expect "a 100 MB text is captured whole" output_is 100000000 sh -c "timeout 20 xclip -selection clipboard -o | wc -c"

# An owner that takes its time.
CANNOT="The clipboard cannot be read: " HOLDER="the program that holds it"
reading_window() { windows '^Reading the clipboard$' | head -n1 | grep .; }
# outcome DESCRIPTION STATUS SLOT-6 MESSAGE: the capture's $STATUS, slot 6, and the message in $WORK/stderr.
outcome() {
    same "$1: --capture 6 ends with status $2" "$2" "$STATUS"
    same "$1: the message says why" "velmora: $4"$'\nThe slot keeps what it had.' "$(cat "$WORK/stderr")"
    expect "$1: the bar shows it" message_box_shown
    answer_message_box Return
    kill "$OWNER"
    expect "$1: slot 6 holds '$3'" output_is "$(hex_of "$3")" slot_hex 6
}
# trickle TEXT: slot 6 holds "kept text", then the test's own owner takes the clipboard and hands TEXT over a
# byte every half second, to a capture waiting in the background.
trickle() {
    set_clipboard "kept text"
    expect "slot 6 takes 'kept text'" output_is 0 status_of --capture 6
    "$CLIPBOARD_OWNER" trickle >"$WORK/owner.out" < <(printf %s "$1") & OWNER=$! && PIDS+=("$OWNER")
    wait_until grep -q ready "$WORK/owner.out" || fail "the owner did not take the clipboard"
    "$WORK/bin/velmora" --capture 6 2>"$WORK/stderr" & CAPTURE=$! && PIDS+=("$CAPTURE")
    expect "the bar shows that it reads the clipboard" reading_window
}
trickle "$(printf '%080d' 0)"
# Slot 5, the empty one, at the right end: the reading window stands below the bar's middle.
click_slot 5
expect "the bar answers a click on a slot meanwhile" output_is "Velmora" window_title
wait "$CAPTURE" && STATUS=0 || STATUS=$?
outcome "trickles past the deadline" 3 "kept text" "${CANNOT}$HOLDER did not hand over all of its text within 30 seconds."
trickle "$(printf '%080d' 0)"
focus "$(reading_window)" && xdotool key Escape
wait "$CAPTURE" && STATUS=0 || STATUS=$?
outcome "trickles, Cancel chosen" 3 "kept text" "${CANNOT}it was cancelled."
# The asking velmora is ended; the owner would be done in four and a half seconds.
trickle abcdefgh
kill -KILL "$CAPTURE" && sleep 5
expect "trickles, the asker gone: the bar tells its user it did not read the text" message_box_shown
answer_message_box Return
kill "$OWNER"
expect "trickles, the asker gone: slot 6 holds 'kept text'" output_is "$(hex_of 'kept text')" slot_hex 6
finish
