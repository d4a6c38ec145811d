#!/usr/bin/env bash
# On a full disk the bar, run by an unprivileged user, leaves every file it rewrites byte for byte as it was
# and says on standard error which write failed.
source "$(dirname "$0")/lib.sh" "$@"
[ "$(id -u)" -eq 0 ] || { echo "skipped: mounting a file system needs root (CI runs as root)"; exit 0; }
FULL=$WORK/full CONFIG=$WORK/full/home/.config DATA=$WORK/full/home/.local/share
trap 'umount "$FULL" 2>/dev/null || true; cleanup' EXIT
start_desktop
chmod 755 "$WORK" && mkdir -p "$FULL" "$WORK/before" "$WORK/bin" && install -d -o 65534 -m 700 "$WORK/run-user"
mount -t tmpfs -o size=256k,mode=755,uid=65534,gid=65534 tmpfs "$FULL"
cp "$VELMORA_BUILT" "$(dirname "$VELMORA_BUILT")/libvelmora-bar.so" "$RESOURCES/Velmora.hlp" "$WORK/bin/"
AS_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups env -u DBUS_SESSION_BUS_ADDRESS HOME="$FULL/home"
    XDG_CONFIG_HOME="$CONFIG" XDG_DATA_HOME="$DATA" XDG_CACHE_HOME="$WORK/run-user" XDG_RUNTIME_DIR="$WORK/run-user")
# prepare FILE BYTES: a file as other programs or an earlier run left it, kept aside to compare.
prepare() {
    "${AS_USER[@]}" mkdir -p "$(dirname "$1")" && printf "$2" | "${AS_USER[@]}" tee "$1" >/dev/null
    cp "$1" "$WORK/before/"
}
fill_disk() { "${AS_USER[@]}" sh -c 'cat /dev/zero >"$0"' "$FULL/filler" 2>/dev/null || true; }
run_bar() {
    background "${AS_USER[@]}" "$WORK/bin/velmora" >"$WORK/velmora.log" 2>&1 && VELMORA_PID=${PIDS[-1]}
    expect "$1: the bar is shown" bar_shown
    sleep 1 # the desktop export runs once the bar is up
    quit_bar "$1"
}
unchanged() { cmp -s "$1" "$WORK/before/$(basename "$1")"; }
said() { grep -q "$1" "$WORK/velmora.log"; }

# A first start rewrites the key store and the desktop's files, all through one writer (tst_clipdocument).
prepare "$DATA/velmora/keys.json" '{"HKEY_CLASSES_ROOT": {"keys": {".txt": {}}}}\n'
fill_disk
run_bar "first start"
expect "first start: keys.json is as it was" unchanged "$DATA/velmora/keys.json"
expect "first start: the key store says it cannot be written" said "The key store .* cannot be written: No space"
expect "first start: the desktop export says what cannot be written" said "xml cannot be written: No space"

rm "$FULL/filler" # an exit with a settings file
prepare "$CONFIG/velmora/velmor.ini" '1200\r\n3000\r\n2730\r\n1380\r\n1\r\n1\r\n0\r\n1\r\n"/a.vmd"\r\n""\r\n""\r\n""\r\n'
fill_disk
run_bar "exit with settings"
expect "exit with settings: velmor.ini is as it was" unchanged "$CONFIG/velmora/velmor.ini"
expect "exit with settings: the settings say they cannot be saved" said "The settings cannot be saved in .*: No space"
finish
