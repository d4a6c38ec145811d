# Shared helpers of the end-to-end tests: an X server with a window manager,
# the real program started from a private copy of its folder, and checks.
# Usage: source lib.sh "$velmora" "$resources"
set -euo pipefail

VELMORA_BUILT=$1
RESOURCES=$2
WORK=$(mktemp -d /tmp/velmora-e2e.XXXXXX)
PIDS=()
FAILURES=0

cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}

pass() {
    echo "ok: $*"
}

# check DESCRIPTION EXPECTED ACTUAL
check() {
    if [ "$2" == "$3" ]; then
        pass "$1"
    else
        fail "$1: expected [$2], got [$3]"
    fi
}

finish() {
    if [ "$FAILURES" -ne 0 ]; then
        echo "$FAILURES check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

# Starts Xvfb on a free display and openbox on it.
start_desktop() {
    local fd_file="$WORK/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fd_file" 2>"$WORK/xvfb.log" &
    PIDS+=($!)
    local i
    for i in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -n1 "$fd_file")"
    unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    for i in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    echo "openbox did not start" >&2
    exit 1
}

# Copies the program and its help file into a folder of its own, so that
# nothing it writes beside itself leaks between tests, and starts it there.
# Sets VELMORA_PID and WINDOW.
start_velmora() {
    mkdir -p "$WORK/bin"
    cp "$VELMORA_BUILT" "$WORK/bin/velmora"
    cp "$RESOURCES/Velmora.hlp" "$WORK/bin/"
    "$WORK/bin/velmora" "$@" >"$WORK/velmora.log" 2>&1 &
    VELMORA_PID=$!
    PIDS+=("$VELMORA_PID")
    WINDOW=$(xdotool search --sync --onlyvisible --pid "$VELMORA_PID" --name '^Velmora' | head -n1)
    wait_for_window_state "$WINDOW" IsViewable
}

# wait_for_window_state WINDOW STATE: waits until xwininfo reports the map state.
wait_for_window_state() {
    local i
    for i in $(seq 100); do
        xwininfo -id "$1" 2>/dev/null | grep -q "Map State: $2" && return 0
        sleep 0.05
    done
    return 1
}

# wait_until COMMAND...: retries a check for up to ten seconds.
wait_until() {
    local i
    for i in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

window_title() {
    xdotool getwindowname "$WINDOW"
}

title_is() {
    [ "$(window_title)" == "$1" ]
}

# The button area is the bottom of the window's client area: two rows of
# 24 pixels plus one pixel of overlap below the menu bar.
button_area_top() {
    local height
    height=$(xwininfo -id "$WINDOW" | awk '/Height:/ {print $2}')
    echo $((height - 48))
}

# click_at X Y: a left click at a point of the client area.
click_at() {
    xdotool mousemove --window "$WINDOW" "$1" "$2" click 1
}

# Slot button k away from its capture corner, and capture button k.
slot_point() {
    local k=$1 top
    top=$(button_area_top)
    echo $((((k - 1) % 5) * 88 + 55)) $((top + ((k - 1) / 5) * 24 + 14))
}
capture_point() {
    local k=$1 top
    top=$(button_area_top)
    echo $((((k - 1) % 5) * 88 + 8)) $((top + ((k - 1) / 5) * 24 + 8))
}
click_slot() {
    # shellcheck disable=SC2046
    click_at $(slot_point "$1")
}
click_capture() {
    # shellcheck disable=SC2046
    click_at $(capture_point "$1")
}

# set_clipboard TEXT: another program owns the clipboard with this text.
set_clipboard() {
    printf '%s' "$1" | xclip -selection clipboard -i
}

clipboard_hex() {
    xclip -selection clipboard -o 2>/dev/null | od -An -tx1 | tr -d ' \n'
}

hex_of() {
    printf '%s' "$1" | od -An -tx1 | tr -d ' \n'
}

# key KEYS...: keys typed into the bar's window.
key() {
    activate "$WINDOW"
    xdotool key --clearmodifiers --delay 150 "$@" || true
}

# activate WINDOW: asks the window manager for the focus and waits until it is given.
activate() {
    local i
    for i in $(seq 50); do
        xdotool windowactivate "$1" >/dev/null 2>&1 || true
        [ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ] && return 0
        sleep 0.1
    done
    return 0
}

wm_state() {
    xprop -id "$WINDOW" WM_STATE 2>/dev/null | awk '/window state:/ {print $3}'
}

net_wm_state() {
    xprop -id "$WINDOW" _NET_WM_STATE 2>/dev/null
}

above() {
    net_wm_state | grep -q _NET_WM_STATE_ABOVE
}

not_above() {
    ! above
}

# The visible top-level window of the program with the given title, if any.
find_window() {
    xdotool search --onlyvisible --pid "$VELMORA_PID" --name "$1" 2>/dev/null | head -n1
}

has_window() {
    [ -n "$(find_window "$1")" ]
}

exited() {
    ! kill -0 "$VELMORA_PID" 2>/dev/null
}

window_count() {
    xdotool search --onlyvisible --pid "$VELMORA_PID" --name "$1" 2>/dev/null | wc -l
}

# A message box of the program is up: a second visible window titled like the bar.
message_box_shown() {
    [ "$(window_count '^Velmora$')" -ge 2 ]
}

# answer_message_box KEY: gives the program's message box the focus and presses KEY in it.
answer_message_box() {
    local box
    box=$(xdotool search --onlyvisible --pid "$VELMORA_PID" --name '^Velmora$' 2>/dev/null | grep -vx "$WINDOW" | head -n1)
    if [ -z "$box" ]; then
        fail "no message box to answer"
        return 0
    fi
    activate "$box"
    xdotool key --clearmodifiers "$1" || true
}
