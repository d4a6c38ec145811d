#!/usr/bin/env bash
# cmake --install into a temporary prefix gives a desktop program: its entry and
# AppStream metadata pass their validators, and the program installed there finds
# its help, shows its About box and keeps its settings in the user's folder,
# writing nothing under the prefix.
source "$(dirname "$0")/lib.sh" "$@"
BUILD=$3 PREFIX=$WORK/prefix
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || "$RESOURCES/../scripts/install-deps"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" || { cat "$WORK/install.log" >&2; exit 1; }
touch "$WORK/installed"
share=$PREFIX/share
validate() { "$@" >"$WORK/validate.log" 2>&1 && echo "ok: $*" || fail "$*: $(cat "$WORK/validate.log")"; }
validate desktop-file-validate "$share/applications/org.velmora.Velmora.desktop"
validate appstreamcli validate --no-net "$share/metainfo/org.velmora.Velmora.metainfo.xml"
for file in mime/packages/org.velmora.Velmora.xml icons/hicolor/{16x16,32x32,48x48,128x128}/apps/org.velmora.Velmora.png \
    icons/hicolor/scalable/apps/org.velmora.Velmora.svg; do
    [ -s "$share/$file" ] || fail "not installed: $file"
done

start_desktop
background "$PREFIX/bin/velmora" >>"$WORK/velmora.log" 2>&1
VELMORA_PID=${PIDS[-1]}
expect "the installed bar is shown" bar_shown
shown() { [ -n "$(windows "$1")" ]; }
gone() { ! shown "$1"; }
key alt+h c
expect "Help, Contents finds the installed help" shown '^Velmora Help$'
key alt+h a
expect "Help, About opens the About box" shown '^About Velmora$'
focus "$(windows '^About Velmora$')"
xdotool key Escape
expect "Esc closes it" gone '^About Velmora$'
key alt+f x
expect "the bar takes input again: File, Exit ends it" exited
expect "the settings are in the user's folder" test -s "$XDG_CONFIG_HOME/velmora/velmor.ini"
written=$(find "$PREFIX" -newer "$WORK/installed")
[ -z "$written" ] || fail "written under the prefix: $written"
finish
