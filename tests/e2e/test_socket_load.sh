#!/usr/bin/env bash
# The bars' sockets under load, a row each: 200 requests at once all done; a bar
# out of descriptors does not spin; a stopped bar is reported as busy, not as no
# bar, and the request it was not given is not carried out once it runs again;
# with the oldest bar stopped the next one answers; without a runtime folder,
# another user's velmora-UID does not keep the command line from the bar.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
items First "first text" >"$WORK/a.vmd"
items Second "second text" >"$WORK/b.vmd"
LAUNCH="prlimit --nofile=1024" start_velmora "$WORK/a.vmd"
first_bar=$VELMORA_PID
# timed_status ARGS...: the status of velmora ARGS, and in $TOOK how long it took in milliseconds.
timed_status() {
    local start=$(date +%s%N)
    STATUS=$(status_of "$@") TOOK=$((($(date +%s%N) - start) / 1000000))
}

# Held back by a lock until all have started, then let go at once.
askers=() && exec 9>"$WORK/start" && flock 9
for i in $(seq 200); do
    { exec 9>&-; flock -s "$WORK/start" "$WORK/bin/velmora" --copy $((i % 10 + 1)) 2>>"$WORK/many.err" &&
        echo 0 >"$WORK/many.$i" || echo $? >"$WORK/many.$i"; } &
    askers+=($!)
done
sleep 2 && exec 9>&-
wait "${askers[@]}"
same "200 requests at once are all done" 200 "$(grep -lx 0 "$WORK"/many.* | wc -l)"

# Connections that never ask, more than the bar has descriptors for.
socket=$(ls "$XDG_RUNTIME_DIR"/velmora-* | head -n1)
(ulimit -n 4096 2>/dev/null || true
 exec perl -MIO::Socket::UNIX -e 'my @held = map { IO::Socket::UNIX->new(Peer => $ARGV[0]) } 1..1031; sleep 8' "$socket") &
PIDS+=($!)
descriptors() { ls "/proc/$first_bar/fd" | wc -l; }
out_of_descriptors() { [ "$(descriptors)" -ge 1020 ]; }
expect "the bar runs out of descriptors" out_of_descriptors
cpu_ticks() { awk '{print $14 + $15}' "/proc/$first_bar/stat"; }
before=$(cpu_ticks) && sleep 2
used=$(($(cpu_ticks) - before))
[ "$used" -lt 20 ] && echo "ok: out of descriptors, the bar used $used of 200 ticks in 2 s" ||
    fail "out of descriptors, the bar used $used of 200 ticks in 2 s"
expect "once they are gone the bar answers again" output_is 0 status_of --copy 1

kill -STOP "$first_bar"
timed_status --copy 2
same "a stopped bar: --copy 2 ends with status 4" 4 "$STATUS"
grep -q "does not answer" "$WORK/stderr" || fail "and says the bar does not answer: $(cat "$WORK/stderr")"
set_clipboard other
kill -CONT "$first_bar"
expect "the bar runs again" output_is 0 status_of --show
same "the request given up on is not carried out" "$(hex_of other)" "$(clipboard_hex)"

start_velmora "$WORK/b.vmd"
kill -STOP "$first_bar"
timed_status --copy 1
same "the oldest bar stopped: --copy 1 ends with status 0" 0 "$STATUS"
[ "$TOOK" -lt 4000 ] && echo "ok: the next bar answered, after $TOOK ms" || fail "the next bar answered after $TOOK ms"
same "the next bar's slot 1 is copied" "$(hex_of 'second text')" "$(clipboard_hex)"
kill -CONT "$first_bar"
expect "the oldest bar runs again" output_is 0 status_of --show
same "and leaves the request it was not given alone" "$(hex_of 'second text')" "$(clipboard_hex)"

# Another user's velmora-UID (or, for a user who cannot give a folder away, a link).
taken="$WORK/tmp/velmora-$(id -u)"
mkdir -p "$taken"
chown 65534 "$taken" 2>/dev/null || { rmdir "$taken" && ln -s "$WORK" "$taken"; }
XDG_RUNTIME_DIR= TMPDIR=$WORK/tmp start_velmora "$WORK/b.vmd"
XDG_RUNTIME_DIR= TMPDIR=$WORK/tmp expect "without a runtime folder, --copy 1 reaches the bar" output_is 0 status_of --copy 1
finish
