#!/usr/bin/env bash
# Clipboard owners that fail, a row each: what the owner does, the status of velmora --capture 6, slot 6
# after it, the message. While an owner trickles the bar answers, until the deadline, Cancel, or the asker leaves.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items First "first text" >"$WORK/a.vmd"
start_velmora "$WORK/a.vmd"
CANNOT="The clipboard cannot be read: " HOLDER="the program that holds it"
reading_window() { windows '^Reading the clipboard$' | head -n1 | grep .; }
# offer MODE TEXT: slot 6 holds "kept text", then the test's own owner takes the clipboard.
offer() {
    set_clipboard "kept text"
    expect "slot 6 takes 'kept text'" output_is 0 status_of --capture 6
    background "$CLIPBOARD_OWNER" "$@" >"$WORK/owner.out" && OWNER=${PIDS[-1]}
    wait_until grep -q ready "$WORK/owner.out" || fail "the owner did not take the clipboard"
}
# outcome DESCRIPTION STATUS SLOT-6 MESSAGE: the capture's $STATUS, slot 6, and the message in $WORK/stderr.
outcome() {
    same "$1: --capture 6 ends with status $2" "$2" "$STATUS"
    if [ -n "$4" ]; then
        same "$1: the message says why" "velmora: $4"$'\nThe slot keeps what it had.' "$(cat "$WORK/stderr")"
        expect "$1: the bar shows it" message_box_shown
        answer_message_box Return
    fi
    kill "$OWNER"
    expect "$1: slot 6 holds '$3'" output_is "$(hex_of "$3")" slot_hex 6
}
row() { offer "$2" "$3" && STATUS=$(status_of --capture 6) && outcome "$1" "${@:4}"; }
row "refuses the conversion" refuse text 3 "kept text" "${CANNOT}$HOLDER refused to hand over its text."
row "says it wrote the text but does not" lie text 3 "kept text" "${CANNOT}$HOLDER said it had handed over its text, but did not."
row "writes another property" elsewhere text 3 "kept text" "${CANNOT}$HOLDER said it had handed over its text, but did not."
row "hands over INTEGER data" integer text 3 "kept text" "${CANNOT}$HOLDER handed over INTEGER data instead of text."
row "offers only COMPOUND_TEXT: Latin-1, UTF-8" compound $'caf\xe9 \e%G\xe2\x82\xac\e%@' 0 "café €" ""
row "offers only STRING: Latin-1" string $'\xc7a et l\xe0' 0 "Ça et là" ""
row "UTF8_STRING that is not UTF-8: U+FFFD for each bad byte, a cut character dropped" text $'a\xff\xc3(\xe2\x82' 0 \
    $'a\xef\xbf\xbd\xef\xbf\xbd(' ""
row "offers only COMPOUND_TEXT: JIS X 0208" compound $'\e$(B\x30\x21' 3 "kept text" "${CANNOT}its text is in a character set the program does not read."

# trickle TEXT: the owner hands it over a byte every half second, to a capture waiting in the background.
trickle() {
    offer trickle "$1"
    "$WORK/bin/velmora" --capture 6 2>"$WORK/stderr" & CAPTURE=$! && PIDS+=("$CAPTURE")
    expect "the bar shows that it reads the clipboard" reading_window
}
trickle "$(printf '%080d' 0)"
click_slot 1
expect "the bar answers a click on a slot meanwhile" output_is "Velmora - First" window_title
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
