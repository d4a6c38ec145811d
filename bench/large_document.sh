#!/usr/bin/env bash
# A document of twenty items of MB megabytes each (labels as long as texts),
# named on the command line: the time from the start to the mapped bar, from the
# map to the first click answered (slot 3 copied: the title names it), and the
# peak resident memory. Usage: bench/large_document.sh VELMORA [MB] [RUNS]
set -euo pipefail
velmora=$(realpath "$1")
mb=${2:-30}
runs=${3:-3}
source "$(dirname "$0")/lib.sh"

head -c $((mb * 1000000)) /dev/zero | tr '\0' a >"$work/item"
for _ in $(seq 20); do printf '"'; cat "$work/item"; printf '"\r\n'; done >"$work/large.vmd"
rm "$work/item"
echo "document: $(($(stat -c %s "$work/large.vmd") / 1000000)) MB"

now() { date +%s%N; }
ms() { echo $((($2 - $1) / 1000000)); }
for run in $(seq "$runs"); do
    mkdir -p "$work/bin" && cp "$velmora" "$work/bin/velmora" && cp "$(dirname "$velmora")/libvelmora-bar.so" "$work/bin/" && rm -f "$work/bin/velmor.ini"
    start=$(now)
    "$work/bin/velmora" "$work/large.vmd" >/dev/null 2>&1 &
    pid=$! && STOP+=($pid)
    until window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Velmora$' 2>/dev/null | head -n1) &&
        [ -n "$window" ]; do :; done
    mapped=$(now)
    # Slot 3 sits in the first row, third button; its title is the program title and its label.
    xdotool mousemove --window "$window" 230 $(($(xwininfo -id "$window" | awk '/Height:/ {print $2}') - 34)) click 1
    until [ "$(xdotool getwindowname "$window" 2>/dev/null | head -c 14)" == "Velmora - aaaa" ]; do :; done
    answered=$(now)
    peak=$(awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$pid/status")
    echo "run $run: mapped after $(ms "$start" "$mapped") ms, click answered $(ms "$mapped" "$answered") ms later, peak $peak MB"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
