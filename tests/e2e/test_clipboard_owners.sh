#!/usr/bin/env bash
# Clipboard owners that fail a capture, one row each: what the owner does, the
# exit status of velmora --capture 6, slot 6 afterwards as another program sees
# it, and the bar's message. An owner that trickles its text leaves the bar
# answering clicks while it reads, until the capture's deadline, a Cancel, or
# the asking velmora giving up.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items First "first text" >"$WORK/a.vmd"
start_velmora "$WORK/a.vmd"
CANNOT="The clipboard cannot be read: " KEPT="The slot keeps what it had."

# owner MODE TEXT: our own clipboard owner (tests/support/ClipboardOwner.cpp) takes the clipboard.
owner() {
    background "$CLIPBOARD_OWNER" "$@" >"$WORK/owner.out"
    OWNER=${PIDS[-1]}
    wait_until grep -q ready "$WORK/owner.out" || fail "the owner did not take the clipboard"
}
reading_window() { windows '^Reading the clipboard$' | head -n1; }
reading_window_shown() { [ -n "$(reading_window)" ]; }
# outcome DESCRIPTION STATUS SLOT-6 MESSAGE: the capture's status, slot 6 and the message, which the bar also shows.
outcome() {
    same "$1: --capture 6 ends with status $2" "$2" "$STATUS"
    if [ -n "$4" ]; then
        grep -qF "$4" "$WORK/stderr" && grep -qF "$KEPT" "$WORK/stderr" && echo "ok: $1: the message says why" ||
            fail "$1: the message says '$4' (seen: $(cat "$WORK/stderr"))"
        expect "$1: the bar shows it" message_box_shown
        answer_message_box Return
    fi
    [ -z "$OWNER" ] || kill "$OWNER" 2>/dev/null || true
    expect "$1: slot 6 holds '$3'" output_is "$(hex_of "$3")" slot_hex 6
}
keep_text() {
    set_clipboard "kept text"
    expect "slot 6 takes 'kept text'" output_is 0 status_of --capture 6
}
row() { # DESCRIPTION MODE TEXT STATUS SLOT-6 MESSAGE
    keep_text
    if [ "$2" == picture ]; then
        OWNER= && printf '\x89PNG\r\n\x1a\n' | xclip -selection clipboard -t image/png -i
        wait_until sh -c 'xclip -selection clipboard -t TARGETS -o | grep -q image/png'
    else
        owner "$2" "$3"
    fi
    STATUS=$(status_of --capture 6)
    outcome "$1" "${@:4}"
}
row "refuses the conversion" refuse "lost" 3 "kept text" "${CANNOT}the program that holds it refused to hand over its text."
row "says it wrote the text but did not" lie "lost" 3 "kept text" "${CANNOT}the program that holds it said it had handed over its text, but did not."
row "writes another property" elsewhere "lost" 3 "kept text" "${CANNOT}the program that holds it said it had handed over its text, but did not."
row "hands over INTEGER data as text" integer "lost" 3 "kept text" "${CANNOT}the program that holds it handed over INTEGER data instead of text."
row "offers only COMPOUND_TEXT, Latin-1 and UTF-8" compound $'caf\xe9 \e%G\xe2\x82\xac\e%@' 0 "café €" ""
row "offers only COMPOUND_TEXT, in JIS X 0208" compound $'\e$(B\x30\x21' 3 "kept text" "${CANNOT}its text is in a character set the program does not read."
row "offers a picture, no text" picture "" 0 "" ""

# trickled TEXT: the owner hands over a byte a second; a capture waits for it in the background.
trickled() {
    keep_text
    owner trickle "$1"
    "$WORK/bin/velmora" --capture 6 2>"$WORK/stderr" &
    CAPTURE=$! && PIDS+=("$CAPTURE")
}
trickled "$(printf '%040d' 0)"
expect "a reading window offers to cancel" reading_window_shown
click_slot 1
WAIT=5 expect "the bar answers a click on a slot meanwhile" output_is "Velmora - First" window_title
wait "$CAPTURE" && STATUS=0 || STATUS=$?
outcome "trickled for 40 s" 3 "kept text" "${CANNOT}the program that holds it did not hand over all of its text within 30 seconds."

trickled "$(printf '%040d' 0)"
expect "a reading window offers to cancel" reading_window_shown
focus "$(reading_window)" && xdotool key Escape
wait "$CAPTURE" && STATUS=0 || STATUS=$?
outcome "trickled, Cancel chosen" 3 "kept text" "${CANNOT}it was cancelled."

# The asking velmora gives up (is killed here) after two seconds; the owner would be done after five.
trickled abcd
sleep 2 && kill -KILL "$CAPTURE"
sleep 4
expect "trickled, the asker gone: the bar says it did not read the clipboard" message_box_shown
answer_message_box Return
kill "$OWNER"
expect "trickled, the asker gone: slot 6 holds 'kept text'" output_is "$(hex_of 'kept text')" slot_hex 6
finish
