# Helpers of the end-to-end tests (Wayland compositors in wayland.sh). Usage: source lib.sh "$velmora" "$resources"
set -euo pipefail

# A test that sets E2E_USER runs as that user when started as root (sway refuses root), from a work folder of
# that user's, since the project may lie in a folder that user cannot read (/root).
if [ -n "${E2E_USER:-}" ] && [ "$(id -u)" -eq 0 ]; then
    WORK=$(mktemp -d /tmp/velmora-e2e.XXXXXX)
    cp "$1" "$(dirname "$1")"/libvelmora-*.so ${WAYLAND_WINDOW:+"$WAYLAND_WINDOW"} "$WORK/" && cp -r "$2" "$WORK/resources"
    project=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../..") script=$(realpath --relative-to="$project" "$0")
    mkdir -p "$WORK/project/tests" "$WORK/project/$(dirname "$script")"
    cp -r "$project/tests/e2e" "$WORK/project/tests/" && cp "$0" "$WORK/project/$script"
    chown -R "$E2E_USER:$(id -gn "$E2E_USER")" "$WORK"
    exec setpriv --reuid="$E2E_USER" --regid="$(id -g "$E2E_USER")" --clear-groups \
        env E2E_WORK="$WORK" ${WAYLAND_WINDOW:+WAYLAND_WINDOW="$WORK/$(basename "$WAYLAND_WINDOW")"} \
        bash "$WORK/project/$script" "$WORK/$(basename "$1")" "$WORK/resources" "${@:3}"
fi
VELMORA_BUILT=$1 RESOURCES=$2 WORK=${E2E_WORK:-$(mktemp -d /tmp/velmora-e2e.XXXXXX)} FAILURES=0 PIDS=()

# Only what the test started is stopped, asked first (the X server then removes its lock), compositors first.
cleanup() {
    stop "${STOP_FIRST[@]}"
    stop "${PIDS[@]}"
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
stop() {
    [ $# -gt 0 ] || return 0
    kill "$@" 2>/dev/null || true
    WAIT=3 wait_until eval "! kill -0 $* 2>/dev/null" || kill -KILL "$@" 2>/dev/null || true
}
STOP_FIRST=()
trap cleanup EXIT
background() { "$@" & PIDS+=($!); }
fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
finish() { [ "$FAILURES" -eq 0 ] && echo "all checks passed" || { echo "$FAILURES check(s) failed" >&2; exit 1; }; }

# wait_until COMMAND... runs the command again at every try; expect DESCRIPTION COMMAND... reports the outcome.
WAIT=20
wait_until() {
    local end=$((SECONDS + WAIT))
    until "$@"; do [ "$SECONDS" -lt "$end" ] || return 1; sleep 0.1; done
}
output_is() { LAST=$("${@:2}" 2>/dev/null || true); [ "$LAST" == "$1" ]; }
expect() {
    LAST=""
    if wait_until "${@:2}"; then echo "ok: $1"; else fail "$1${LAST:+ (last seen: $LAST)}"; fi
}

start_session() {
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME XDG_CURRENT_DESKTOP DESKTOP_SESSION \
        SESSION_MANAGER
    export HOME=$WORK/home XDG_DATA_HOME=$WORK/home/.local/share XDG_CONFIG_HOME=$WORK/home/.config \
        XDG_CACHE_HOME=$WORK/home/.cache XDG_RUNTIME_DIR=$WORK/run
    mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
    background dbus-daemon --session --nofork --print-address=4 4>"$WORK/bus" 2>"$WORK/bus.log"
    WAIT=60 wait_until test -s "$WORK/bus" || { cat "$WORK"/*.log >&2; exit 1; }
    export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$WORK/bus")
}
start_x_server() {
    background Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log"
    WAIT=60 wait_until test -s "$WORK/display" || { cat "$WORK"/*.log >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$WORK/display")"
    WAIT=60 wait_until xprop -root >/dev/null 2>&1 || { cat "$WORK"/*.log >&2; exit 1; }
}
start_desktop() {
    start_session
    start_x_server
    background openbox --sm-disable >"$WORK/openbox.log" 2>&1
    WAIT=60 wait_until sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" 2>/dev/null ||
        { echo "openbox did not start: $(cat "$WORK/openbox.log")" >&2; exit 1; }
}

# The program from a folder of its own, so that nothing it writes leaks between tests (again: another bar).
start_velmora() {
    mkdir -p "$WORK/bin" && cp -n "$VELMORA_BUILT" "$WORK/bin/velmora"
    cp -n "$(dirname "$VELMORA_BUILT")"/libvelmora-*.so "$RESOURCES/Velmora.hlp" "$WORK/bin/"
    background "$WORK/bin/velmora" "$@" >>"$WORK/velmora.log" 2>&1
    VELMORA_PID=${PIDS[-1]}
    expect "the bar is shown" bar_shown
}
# The program's visible windows whose title matches (--all: of this PID and with that title).
windows() { xdotool search --all --onlyvisible --pid "$VELMORA_PID" --name "$1" 2>/dev/null; }
shown() { [ -n "$(windows "$1")" ]; }
gone() { ! shown "$1"; }
bar_shown() { WINDOW=$(windows '^Velmora' | head -n1) && [ -n "$WINDOW" ]; }
map_state_is() { xwininfo -id "$WINDOW" 2>/dev/null | grep -q "Map State: $1"; }
window_title() { xdotool getwindowname "$WINDOW"; }
wm_state() { xprop -id "$WINDOW" WM_STATE | awk '/window state:/ {print $3}'; }
above() { xprop -id "$WINDOW" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
exited() { ! kill -0 "$VELMORA_PID" 2>/dev/null; }
quit_bar() {
    key alt+f x
    expect "${1:+$1: }File, Exit ends the bar" exited
}
frame_corner() {
    local extents=($(xprop -id "$WINDOW" _NET_FRAME_EXTENTS | tr -dc '0-9 '))
    xwininfo -id "$WINDOW" | awk -v l="${extents[0]}" -v t="${extents[2]}" \
        '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {print x - l "," $4 - t}'
}
message_box() { windows '^Velmora$' | grep -vx "$WINDOW" | head -n1; }
message_box_shown() { [ -n "$(message_box)" ]; }
# Slot button K or its capture button, in the two rows of 24 pixels at the bottom of the client area.
click_button() {
    local top=$(($(xwininfo -id "$WINDOW" | awk '/Height:/ {print $2}') - 48))
    xdotool mousemove --window "$WINDOW" $((($1 - 1) % 5 * 88 + $2)) $((top + ($1 - 1) / 5 * 24 + $3)) click 1
}
click_slot() { click_button "$1" 55 14; }
click_capture() { click_button "$1" 8 8; }

# The editor, and a click in the middle of one of its controls (LEFT TOP WIDTH HEIGHT in twips).
editor_shown() { EDITOR=$(windows '^Edit File$' | head -n1) && [ -n "$EDITOR" ]; }
editor_gone() { ! editor_shown; }
click_editor() { xdotool mousemove --window "$EDITOR" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1; }

# velmora handing a request to the running bar: its exit status, its standard error in $WORK/stderr.
status_of() { "$WORK/bin/velmora" "$@" 2>"$WORK/stderr" && echo 0 || echo $?; }
# same DESCRIPTION EXPECTED ACTUAL: a fact seen once; slot_hex K: slot K's text as another program sees it.
same() { if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1 (expected: $2, seen: $3)"; fi; }
slot_hex() { "$WORK/bin/velmora" --copy "$1" 2>/dev/null && clipboard_hex; }

# items LABEL TEXT ...: the bytes of clip document items, empty up to slot 10.
items() { for i in $(seq 20); do printf '"%s"\r\n' "${!i:-}"; done; }


# The clipboard as another program sees it; clipboard_hex -t TARGET asks for that form.
clipboard_hex() { timeout 10 xclip -selection clipboard "$@" -o 2>/dev/null | od -An -tx1 | tr -d ' \n'; }
hex_of() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
set_clipboard() {
    printf '%s' "$1" | xclip -selection clipboard -i
    wait_until output_is "$(hex_of "$1")" clipboard_hex || fail "xclip did not take the clipboard"
}

focus() { wait_until eval "xdotool windowactivate $1 >/dev/null 2>&1; output_is $1 xdotool getactivewindow" || true; }
key() { focus "$WINDOW"; xdotool key --clearmodifiers --delay 150 "$@" || true; }
answer_message_box() {
    local box=$(message_box)
    [ -n "$box" ] && focus "$box" && xdotool key --clearmodifiers "$1" || fail "no message box to answer"
}

source "$(dirname "${BASH_SOURCE[0]}")/wayland.sh"
