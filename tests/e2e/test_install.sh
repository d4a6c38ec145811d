#!/usr/bin/env bash
# cmake --install into a temporary prefix: the entry and metadata pass their validators; the installed program
# finds its help and writes only in the user's folder; a copy in a folder that is not UTF-8 says what it cannot.
source "$(dirname "$0")/lib.sh" "$@"
BUILD=$3 PREFIX=$WORK/prefix
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || "$RESOURCES/../scripts/install-deps"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" || { cat "$WORK/install.log" >&2; exit 1; }
update-mime-database "$PREFIX/share/mime" >>"$WORK/install.log"
touch "$WORK/installed"
share=$PREFIX/share
validate() { "$@" >"$WORK/validate.log" 2>&1 && echo "ok: $*" || fail "$*: $(cat "$WORK/validate.log")"; }
validate desktop-file-validate "$share/applications/org.velmora.Velmora.desktop"
validate appstreamcli validate --no-net "$share/metainfo/org.velmora.Velmora.metainfo.xml"

start_desktop
# Installed system-wide, as far as the desktop can tell.
export XDG_DATA_DIRS=$share:/usr/share PATH=$PREFIX/bin:$PATH
background "$PREFIX/bin/velmora" >>"$WORK/velmora.log" 2>&1
VELMORA_PID=${PIDS[-1]}
expect "the installed bar is shown" bar_shown
wm_class() { xprop -id "$WINDOW" WM_CLASS | sed 's/.*, "\(.*\)"$/\1/'; }
expect "with the window class its entry names" output_is \
    "$(sed -n 's/^StartupWMClass=//p' "$share/applications/org.velmora.Velmora.desktop")" wm_class
key alt+h c
expect "Help, Contents finds the installed help" shown '^Velmora Help$'
quit_bar
expect "the settings are in the user's folder" test -s "$XDG_CONFIG_HOME/velmora/velmor.ini"
written=$(find "$PREFIX" -newer "$WORK/installed")
[ -z "$written" ] || fail "written under the prefix: $written"
content_type() { gio info -a standard::content-type "$1" | awk '/content-type:/ {print $2}'; }
items >"$WORK/notes.vmd" && cp "$WORK/notes.vmd" "$WORK/NOTES.VMD"
expect "a .vmd file is a clip document" output_is application/x-velmora-document content_type "$WORK/notes.vmd"
expect "a .VMD file is not, which the program would not open" output_is text/plain content_type "$WORK/NOTES.VMD"

# A copy in a folder whose name is not UTF-8 writes no desktop entry, which would run "/velmora".
odd=$WORK/caf$'\xe9' && mkdir "$odd" && cp "$PREFIX/bin/velmora" "$BUILD/libvelmora-bar.so" "$odd/"
rm "$XDG_CONFIG_HOME/velmora/velmor.ini"
background "$odd/velmora" >"$WORK/odd.log" 2>&1
VELMORA_PID=${PIDS[-1]}
expect "a copy in a folder whose name is not UTF-8 starts" bar_shown
expect "it says the folder cannot stand in a desktop entry" grep -q "cannot stand in a desktop entry" "$WORK/odd.log"
finish
