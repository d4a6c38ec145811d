#!/usr/bin/env bash
# The bars' sockets under load, a row each: 200 requests at once; out of descriptors; a stopped bar, and a full
# queue (busy, not "no bar"); the oldest bar stopped; another user's velmora-UID without a runtime folder.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items First "first text" >"$WORK/a.vmd"
items Second "second text" >"$WORK/b.vmd"
start_velmora "$WORK/a.vmd"
first_bar=$VELMORA_PID && prlimit --pid "$first_bar" --nofile=1024
# Held back by a lock until all have started, then let go at once.
askers=() && exec 9>"$WORK/start" && flock 9
for i in $(seq 200); do
    { exec 9>&-; flock -s "$WORK/start" timeout 60 "$WORK/bin/velmora" --copy $((i % 10 + 1)) 2>>"$WORK/many.err" &&
        echo 0 >"$WORK/many.$i" || echo $? >"$WORK/many.$i"; } & askers+=($!)
done
sleep 2 && exec 9>&-
wait "${askers[@]}"
same "200 requests at once are all done" 200 "$(grep -lx 0 "$WORK"/many.* | wc -l)"

# Connections that never ask, more than the bar has descriptors for.
socket=$(ls "$XDG_RUNTIME_DIR"/velmora-* | head -n1)
(ulimit -n 4096 2>/dev/null || true
 exec perl -MIO::Socket::UNIX -e 'my @held = map { IO::Socket::UNIX->new(Peer => $ARGV[0]) } 1..1031; sleep 8' "$socket") & PIDS+=($!)
out_of_descriptors() { [ "$(ls "/proc/$first_bar/fd" | wc -l)" -ge 1020 ]; }
expect "the bar runs out of descriptors" out_of_descriptors
cpu_ticks() { awk '{print $14 + $15}' "/proc/$first_bar/stat"; }
before=$(cpu_ticks) && sleep 2 && used=$(($(cpu_ticks) - before))
[ "$used" -lt 20 ] && echo "ok: out of descriptors, the bar used $used of 200 ticks in 2 s" || fail "and used $used ticks"
expect "once they are gone the bar answers again" output_is 0 status_of --copy 1

kill -STOP "$first_bar"
same "a stopped bar: --copy 2 ends with status 4" 4 "$(status_of --copy 2)"
same "and says why" "velmora: the running bar does not answer" "$(cat "$WORK/stderr")"
(ulimit -n 70000 2>/dev/null || ulimit -n 8192; exec perl -MIO::Socket::UNIX -e '$| = 1; @q = map { IO::Socket::UNIX->new(
    Peer => $ARGV[0], Blocking => 0) } 0..$ARGV[1]; print "full\n"; sleep 60' "$socket" "$(cat /proc/sys/net/core/somaxconn)" >"$WORK/queue") &
filler=$! && PIDS+=($!) && wait_until grep -q full "$WORK/queue"
same "its queue full: --copy 2 ends with status 4" 4 "$(status_of --copy 2)"
same "and says why" "velmora: the running bar is too busy to take the request" "$(cat "$WORK/stderr")"
kill "$filler"
set_clipboard other && kill -CONT "$first_bar"
expect "the bar runs again" output_is 0 status_of --show
same "the request given up on is not carried out" "$(hex_of other)" "$(clipboard_hex)"

start_velmora "$WORK/b.vmd" && kill -STOP "$first_bar"
same "the oldest bar stopped: --copy 1 ends with status 0" 0 "$(status_of --copy 1)"
same "the next bar's slot 1 is copied" "$(hex_of 'second text')" "$(clipboard_hex)"
kill -CONT "$first_bar"
expect "the oldest bar runs again" output_is 0 status_of --show
same "and leaves the request it was not given alone" "$(hex_of 'second text')" "$(clipboard_hex)"

# Another user's velmora-UID (or, for a user who cannot give a folder away, a link).
taken="$WORK/tmp/velmora-$(id -u)" && mkdir -p "$taken"
chown 65534 "$taken" 2>/dev/null || { rmdir "$taken" && ln -s "$WORK" "$taken"; }
XDG_RUNTIME_DIR= TMPDIR=$WORK/tmp start_velmora "$WORK/b.vmd"
XDG_RUNTIME_DIR= TMPDIR=$WORK/tmp expect "without a runtime folder, --copy 1 reaches the bar" output_is 0 status_of --copy 1
finish
