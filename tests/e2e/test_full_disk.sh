#!/usr/bin/env bash
# Files on a full disk: the bar, run by an unprivileged user whose home lies on a
# small file system that is full, leaves every file it rewrites byte for byte as
# it was and says on standard error which write failed.
source "$(dirname "$0")/lib.sh" "$@"
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: mounting a small file system needs root (CI runs as root)"
    exit 0
fi
FULL=$WORK/full USER_ID=65534
HOME_DIR=$FULL/home CONFIG=$FULL/home/.config DATA=$FULL/home/.local/share
trap 'umount "$FULL" 2>/dev/null || true; cleanup' EXIT
start_desktop
chmod 755 "$WORK"
mkdir -p "$FULL" "$WORK/before" "$WORK/bin"
mount -t tmpfs -o size=256k,mode=755,uid=$USER_ID,gid=$USER_ID tmpfs "$FULL"
cp "$VELMORA_BUILT" "$(dirname "$VELMORA_BUILT")/libvelmora-bar.so" "$RESOURCES/Velmora.hlp" "$WORK/bin/"
install -d -o $USER_ID -g $USER_ID -m 700 "$WORK/run-user"

# As the user; anything else the bar needs lies outside the full disk.
AS_USER=(setpriv --reuid=$USER_ID --regid=$USER_ID --clear-groups env -u DBUS_SESSION_BUS_ADDRESS HOME="$HOME_DIR"
    XDG_CONFIG_HOME="$CONFIG" XDG_DATA_HOME="$DATA" XDG_CACHE_HOME="$WORK/run-user/cache"
    XDG_RUNTIME_DIR="$WORK/run-user")
as_user() { "${AS_USER[@]}" "$@"; }
# prepare FILE BYTES: a file as other programs or an earlier run left it, kept aside to compare.
prepare() {
    as_user mkdir -p "$(dirname "$1")"
    printf "$2" | as_user tee "$1" >/dev/null
    cp "$1" "$WORK/before/$(basename "$1")"
}
fill_disk() { as_user sh -c 'cat /dev/zero >"$0" 2>/dev/null' "$FULL/filler" || true; }
# Starts the bar on the full disk and ends it with File, Exit.
run_bar() {
    background "${AS_USER[@]}" "$WORK/bin/velmora" >"$WORK/velmora.log" 2>&1
    VELMORA_PID=${PIDS[-1]}
    expect "$1: the bar is shown" bar_shown
    sleep 1 # the desktop export runs once the bar is up
    key alt+f x
    expect "$1: File, Exit ends it" exited
}
unchanged() { cmp -s "$1" "$WORK/before/$(basename "$1")"; }
said() { grep -q "$1" "$WORK/velmora.log"; }

# A first start on a full disk: the files it rewrites, as other programs and an
# earlier registration left them.
rows=(
    "$CONFIG/mimeapps.list|[Default Applications]\r\ntext/plain=editor.desktop;\r\n\r\n[Added Associations]\r\nimage/png=viewer.desktop;\r\n"
    "$DATA/velmora/keys.json|{\"HKEY_CLASSES_ROOT\": {\"keys\": {\".txt\": {\"values\": {\"\": {\"type\": 1, \"data\": \"747874\"}}}}}}\n"
    "$DATA/applications/org.velmora.Velmora.desktop|[Desktop Entry]\nType=Application\nName=Velmora\nExec=/old/velmora %%f\n"
)
for row in "${rows[@]}"; do prepare "${row%%|*}" "${row#*|}"; done
fill_disk
run_bar "first start"
for row in "${rows[@]}"; do
    file=${row%%|*}
    expect "first start: $(basename "$file") is as it was" unchanged "$file"
done
expect "first start: no empty velmor.ini is left" test ! -e "$CONFIG/velmora/velmor.ini"
expect "first start: the key store says it cannot be written" said "The key store .* cannot be written: No space"
expect "first start: the desktop export says what cannot be written" said "cannot be written: No space"
expect "first start: the settings say they cannot be saved" said "The settings cannot be saved in .*: No space"

# A normal exit with a settings file.
rm -f "$FULL/filler"
prepare "$CONFIG/velmora/velmor.ini" '1200\r\n3000\r\n2730\r\n1380\r\n1\r\n1\r\n0\r\n1\r\n"/a.vmd"\r\n""\r\n""\r\n""\r\n'
fill_disk
run_bar "exit with settings"
expect "exit with settings: velmor.ini is as it was" unchanged "$CONFIG/velmora/velmor.ini"
expect "exit with settings: the settings say they cannot be saved" said "The settings cannot be saved in .*: No space"
finish
