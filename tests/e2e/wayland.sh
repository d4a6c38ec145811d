# Wayland compositors with XWayland for the end-to-end tests, native programs
# on them and their clipboard; sourced by lib.sh.

# start_compositor sway|kwin|mutter: the compositor on a runtime folder of its own, mutter
# nested in an Xvfb of the test's own (a headless one has no keyboard, so no clipboard). A script it starts
# tells where its socket and XWayland are; the test keeps its own runtime folder (KWin opens its own to all).
start_compositor() {
    local folder=$WORK/compositor
    mkdir -m 700 "$folder"
    cat >"$folder/tell" <<EOF
#!/bin/sh
printf '%s\n' "\$\$" "\$XDG_RUNTIME_DIR/\$WAYLAND_DISPLAY" "\$DISPLAY" "\$XAUTHORITY" >"$folder/session.part"
mv "$folder/session.part" "$folder/session"
exec sleep 100000
EOF
    chmod +x "$folder/tell"
    case $1 in
    sway)
        printf 'xwayland enable\nfocus_on_window_activation focus\nexec %s\n' "$folder/tell" >"$folder/config"
        XDG_RUNTIME_DIR=$folder WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
            background sway --config "$folder/config" ;;
    kwin)
        # The installed binary carries file capabilities, which a sandbox may refuse.
        cp "$(command -v kwin_wayland)" "$folder/kwin_wayland"
        XDG_RUNTIME_DIR=$folder background "$folder/kwin_wayland" --virtual --xwayland --width 1280 --height 800 \
            "$folder/tell" ;;
    mutter)
        start_x_server
        XDG_RUNTIME_DIR=$folder background mutter --nested --wayland -- "$folder/tell" ;;
    esac >"$WORK/compositor.log" 2>&1
    STOP_FIRST=("${PIDS[-1]}")
    WAIT=60 wait_until test -s "$folder/session" || { cat "$WORK/compositor.log" >&2; exit 1; }
    local session && mapfile -t session <"$folder/session"
    PIDS+=("${session[0]}")
    export WAYLAND_DISPLAY=${session[1]} DISPLAY=${session[2]} XAUTHORITY=${session[3]} XDG_SESSION_TYPE=wayland
    [ -n "$XAUTHORITY" ] || unset XAUTHORITY
    WAIT=60 wait_until xprop -root >/dev/null 2>&1 || { cat "$WORK/compositor.log" >&2; exit 1; }
}

# A native Wayland window that takes the focus as a program in front would, and says when it has it.
start_native_window() {
    background "$WAYLAND_WINDOW" >"$WORK/native.log" 2>>"$WORK/compositor.log"
    NATIVE_PID=${PIDS[-1]}
    expect "a native window has the focus" native_has_focus
}
native_has_focus() { [ "$(tail -n1 "$WORK/native.log")" == active ]; }

# The clipboard as a native program sees it, and a native program's text on it (wl-copy offers it until
# another program takes the clipboard, and then ends).
wayland_clipboard_hex() { timeout 10 wl-paste --no-newline 2>/dev/null | od -An -tx1 | tr -d ' \n'; }
wayland_copy() {
    # Without a clipboard manager protocol wl-copy needs the focus for a moment, which mutter does not always
    # give a new window: one that has not taken the clipboard after a while makes way for another.
    for _ in 1 2 3 4 5; do
        background wl-copy --foreground -- "$1" 2>>"$WORK/compositor.log"
        WAIT=8 wait_until output_is "$(hex_of "$1")" wayland_clipboard_hex && return
        kill "${PIDS[-1]}" 2>/dev/null || true
    done
    fail "wl-copy did not take the clipboard"
}
