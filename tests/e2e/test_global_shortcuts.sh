#!/usr/bin/env bash
# View, Global Shortcuts: Ctrl+Alt+3 copies slot 3 while another program has the
# focus; the setting is kept beside velmor.ini, not in it; turned off, the bar
# lets go of the keys, so that another bar can take them.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items "" "" "" "" Mail... "mail text" >"$WORK/a.vmd"
items "" "" "" "" Other... "second bar" >"$WORK/b.vmd"
start_velmora "$WORK/a.vmd"
key alt+v g
expect "the setting is kept in its own file" grep -qx GlobalShortcuts=1 "$WORK/bin/velmora-keys.ini"

background xmessage -geometry 300x80+700+600 "another program" >/dev/null 2>&1
has_focus() { other=$(xdotool getactivewindow) && [ "$other" != "$WINDOW" ]; }
expect "another program has the focus" has_focus
set_clipboard other
xdotool key ctrl+alt+3
expect "Ctrl+Alt+3 copies slot 3" output_is "$(hex_of 'mail text')" clipboard_hex
expect "and names it in the title" output_is "Velmora - Mail..." window_title
expect "the other program keeps the focus" output_is "$other" xdotool getactivewindow

key alt+v g
expect "turned off, the setting says so" grep -qx GlobalShortcuts=0 "$WORK/bin/velmora-keys.ini"
# A second bar that starts with the shortcuts on gets the key only when the
# first has let go of it; the first would copy its own slot 3 otherwise.
mkdir "$WORK/second"
cp "$WORK/bin/velmora" "$WORK/bin/libvelmora-bar.so" "$WORK/second/"
echo GlobalShortcuts=1 >"$WORK/second/velmora-keys.ini"
background "$WORK/second/velmora" "$WORK/b.vmd" >>"$WORK/velmora.log" 2>&1
VELMORA_PID=${PIDS[-1]}
expect "a second bar is shown" bar_shown
set_clipboard other
focus "$other"
# Pressed again at each try: the second bar takes the keys once its start-up is done.
press_reaches() { xdotool key ctrl+alt+3 && output_is "$(hex_of "$1")" clipboard_hex; }
expect "Ctrl+Alt+3 now reaches the second bar" press_reaches "second bar"
finish
