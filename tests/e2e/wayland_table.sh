#!/usr/bin/env bash
# The slots on a Wayland desktop, the bar on XWayland, native programs (wl-copy,
# wl-paste) on the other side, byte for byte: from the command line while a
# native window has the focus, by the bar's buttons while the bar has it. The
# texts, types, large texts and failures of the clipboard manager protocol itself
# are tst_datacontrol's. Usage: wayland_table.sh VELMORA RESOURCES BUILD sway|kwin|mutter
export E2E_USER=${E2E_USER:-nobody}
source "$(dirname "$0")/lib.sh" "$@"
start_session
start_compositor "$4"
three=$'Çà et là\r\nbientôt \U0001F600\n' four=$'four\n' five=$'five\tfive' six=$'six'
items "" "" "" "" Three "$three" "" "$four" Five "$five" "" "$six" >"$WORK/slots.vmd"
start_velmora "$WORK/slots.vmd"

# took K TEXT STATUS: the capture into slot K, whose status was STATUS ("click": by its button), took TEXT.
took() {
    [ "$3" == 0 ] || [ "$3" == click ] || fail "the capture into slot $1 was refused (status $3): $(cat "$WORK/stderr")"
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
took 4 "$taken" "$(status_of --capture 4)"
kill "$NATIVE_PID"

focus "$WINDOW"
expect "the bar has the focus" output_is "$WINDOW" xdotool getactivewindow
click_slot 5
expect "a click on slot 5: wl-paste gives it" output_is "$(hex_of "$five")" wayland_clipboard_hex
# mutter gives wl-copy the focus it needs more readily over a native window than over the bar.
start_native_window
clicked=$'by the capture button: ß€\n'
wayland_copy "$clicked"
kill "$NATIVE_PID"
focus "$WINDOW"
click_capture 6
start_native_window
took 6 "$clicked" click
finish
