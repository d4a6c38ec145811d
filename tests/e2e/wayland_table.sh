#!/usr/bin/env bash
# The slots on a Wayland desktop, the bar on XWayland, native programs (wl-copy,
# wl-paste) on the other side, byte for byte: from the command line while a
# native window has the focus, by the bar's buttons while the bar has it. On
# weston, which offers no clipboard manager protocol, a capture may also be
# refused, with the slot unchanged. The texts, types, large texts and failures of
# the clipboard manager protocol itself are tst_datacontrol's. Usage: wayland_table.sh
# VELMORA RESOURCES BUILD sway|kwin|mutter|weston
export E2E_USER=${E2E_USER:-nobody}
source "$(dirname "$0")/lib.sh" "$@"
start_session
start_compositor "$4"
three=$'Çà et là\r\nbientôt \U0001F600\n' four=$'four\n' five=$'five\tfive' six=$'six'
items "" "" "" "" Three "$three" "" "$four" Five "$five" "" "$six" >"$WORK/slots.vmd"
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
taken=$'from a native program: ünïcödé\r\n\ttwo lines'
wayland_copy "$taken"
expect "the native window has the focus again" native_has_focus
took 4 "$taken" "$four" "$(status_of --capture 4)"
kill "$NATIVE_PID"

focus "$WINDOW"
expect "the bar has the focus" output_is "$WINDOW" xdotool getactivewindow
click_slot 5
expect "a click on slot 5: wl-paste gives it" output_is "$(hex_of "$five")" wayland_clipboard_hex
clicked=$'by the capture button: ß€\n'
wayland_copy "$clicked"
focus "$WINDOW"
click_capture 6
took 6 "$clicked" "$six" click
finish
