#!/usr/bin/env bash
# The slots on a Wayland desktop, the bar on XWayland, native programs (wl-copy,
# wl-paste) on the other side, byte for byte: from the command line while a
# native window has the focus, by the bar's buttons while the bar has it. On
# weston, which offers no clipboard manager protocol, a capture may also be
# refused, with the slot unchanged. Usage: wayland_table.sh VELMORA RESOURCES BUILD
# sway|kwin|mutter|weston
export E2E_USER=${E2E_USER:-nobody}
source "$(dirname "$0")/lib.sh" "$@"
start_session
start_compositor "$4"
three=$'Çà et là\r\nbientôt \U0001F600\n' four=$'four\n' five=$'five\tfive' six=$'six'
items "" "" "" "" Three "$three" "" "$four" Five "$five" "" "$six" "" "" "" eight >"$WORK/slots.vmd"
start_velmora "$WORK/slots.vmd"

# took K TEXT OLD HOW: the capture into slot K (HOW: the status of --capture,
# or "click") took TEXT, or on weston left OLD with the reason shown.
took() {
    local status=$4
    [ "$4" != click ] || { [ "$COMPOSITOR" == weston ] && WAIT=2 wait_until message_box_shown && status=3; } || status=0
    if [ "$status" != 0 ] && [ "$COMPOSITOR" == weston ]; then
        echo "ok: weston: the capture into slot $1 was refused" && answer_message_box Return && set -- "$1" "$3"
    elif [ "$status" != 0 ]; then
        fail "the capture into slot $1 was refused (status $4): $(cat "$WORK/stderr")"
    fi
    wayland_copy other
    expect "--copy $1 is done" output_is 0 status_of --copy "$1"
    expect "slot $1 holds the text" output_is "$(hex_of "$2")" wayland_clipboard_hex
}

start_native_window
expect "--copy 3 is done" output_is 0 status_of --copy 3
expect "wl-paste gives slot 3" output_is "$(hex_of "$three")" wayland_clipboard_hex
offers_no_string() {
    LAST=$(timeout 10 wl-paste --list-types | tr '\n' ' ')
    [[ " $LAST" == *" UTF8_STRING "* && " $LAST" != *" STRING "* ]]
}
[ "$COMPOSITOR" == weston ] || expect "a text beyond Latin-1 is not offered as STRING" offers_no_string
taken=$'from a native program: ünïcödé\r\n\ttwo lines'
wayland_copy "$taken"
expect "the native window has the focus again" native_has_focus
took 4 "$taken" "$four" "$(status_of --capture 4)"
kill "$NATIVE_PID"

focus "$WINDOW"
expect "the bar has the focus" output_is "$WINDOW" xdotool getactivewindow
click_slot 5
expect "a click on slot 5: wl-paste gives it" output_is "$(hex_of "$five")" wayland_clipboard_hex
offers_text_types() {
    LAST=$(timeout 10 wl-paste --list-types | tr '\n' ' ')
    for type in "text/plain;charset=utf-8" text/plain UTF8_STRING STRING TEXT; do [[ " $LAST" == *" $type "* ]] || return 1; done
}
# A text Latin-1 can carry goes as STRING too. weston's XWayland passes a text on under one name only.
[ "$COMPOSITOR" == weston ] || expect "as text/plain;charset=utf-8, text/plain, UTF8_STRING, STRING and TEXT" offers_text_types
clicked=$'by the capture button: ß€\n'
wayland_copy "$clicked"
focus "$WINDOW"
click_capture 6
took 6 "$clicked" "$six" click
# weston's XWayland does not always pass on that the bar's clipboard is empty.
if [ "$COMPOSITOR" != weston ]; then
    key ctrl+e
    expect "the editor opens" editor_shown
    click_editor 4440 4560 1335 375
    expect "its OK closes it" editor_gone
    expect "and empties the clipboard" output_is "" wayland_clipboard_hex
fi

if [ "$COMPOSITOR" == sway ]; then
    # 50 MB both ways, and an owner that stops answering.
    { printf 'Ünïcödé\r\n'; head -c 37000000 /dev/urandom | base64 -w 76; } >"$WORK/large.txt"
    wayland_copy_file "$WORK/large.txt"
    wait_until output_is "$(head -c 9 "$WORK/large.txt" | od -An -tx1 | tr -d ' \n')" sh -c \
        'timeout 10 wl-paste --no-newline | head -c 9 | od -An -tx1 | tr -d " \n"'
    expect "--capture 7 of 50 MB is done" output_is 0 status_of --capture 7
    wayland_copy other
    expect "--copy 7 is done" output_is 0 status_of --copy 7
    WAIT=60 expect "wl-paste gives the 50 MB whole" sh -c "timeout 20 wl-paste --no-newline | cmp -s - '$WORK/large.txt'"
    # A reader that stops taking the text (its output is full) and one that goes away halfway.
    mkfifo "$WORK/stalled" && exec 8<>"$WORK/stalled"
    background wl-paste --no-newline >"$WORK/stalled" 8<&-
    timeout 20 wl-paste --no-newline | head -c 1000 >/dev/null || true
    expect "they hold up neither the bar" output_is 0 status_of --copy 3
    expect "nor other readers" output_is "$(hex_of "$three")" wayland_clipboard_hex
    exec 8<&-
    wayland_copy "stopped"
    kill -STOP "${PIDS[-1]}"
    expect "a capture from an owner that does not answer: status 3" output_is 3 status_of --capture 7
    grep -q "the program that holds it does not answer" "$WORK/stderr" || fail "and says why: $(cat "$WORK/stderr")"
    kill -KILL "${PIDS[-1]}"
    answer_message_box Return
    expect "an empty clipboard captured: status 0" output_is 0 status_of --capture 8
    took 8 "" "" 0
    expect "slot 7 keeps its 50 MB" sh -c "'$WORK/bin/velmora' --copy 7 && timeout 20 wl-paste --no-newline | cmp -s - '$WORK/large.txt'"
fi
finish
