#!/usr/bin/env bash
# A 50 MB text through the bar: captured from xclip into slot 1 and copied back
# out to xclip -o, against xclip handing the same text to xclip -o as the floor;
# and the bar's peak resident memory above its idle size while it captures and
# copies. Usage: bench/large_text.sh BUILD_DIR [MB] [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
mb=${2:-50}
runs=${3:-5}
source "$(dirname "$0")/lib.sh"
mkdir "$work/bar"

# Printable text in lines of 76, as a long mail or a log would be.
head -c $((mb * 1000000 * 3 / 4)) /dev/urandom | base64 >"$work/text"
bytes=$(stat -c %s "$work/text")
printf '1200\r\n3000\r\n6690\r\n1380\r\n0\r\n1\r\n0\r\n1\r\n""\r\n""\r\n""\r\n""\r\n' >"$work/bar/velmor.ini"
cp "$build/velmora" "$build/libvelmora-bar.so" "$work/bar/"

clip() { xclip -selection clipboard "$@"; }
now() { date +%s%N; }
status() { awk -v key="$1:" '$1 == key {print $2}' "/proc/$bar/status"; }
# The time xclip -o takes to read the whole clipboard, in ms; checks every byte.
read_out() {
    local start=$(now)
    clip -o >"$work/out"
    echo $((($(now) - start) / 1000000))
    cmp -s "$work/text" "$work/out" || { echo "the text read back differs" >&2; exit 1; }
}
# xclip takes a while to read the text before it takes the clipboard, from the
# bar whose text is empty.
offer() {
    clip -i -quiet <"$work/text" >/dev/null 2>&1 & owner=$! && STOP+=($owner)
    until [ -n "$(clip -o 2>/dev/null | head -c 1)" ]; do sleep 0.05; done
}

for run in $(seq "$runs"); do
    # A new bar each run, so that its idle size holds no text of the run before.
    "$work/bar/velmora" >/dev/null 2>&1 &
    bar=$! && STOP+=($bar)
    until "$work/bar/velmora" --copy 2 2>/dev/null; do sleep 0.05; done
    offer
    echo "floor $(read_out)" >>"$work/results"
    idle=$(status VmRSS)
    echo 5 >"/proc/$bar/clear_refs"   # the peak starts again from here
    start=$(now)
    "$work/bar/velmora" --capture 1
    echo "capture $((($(now) - start) / 1000000))" >>"$work/results"
    kill $owner; wait $owner 2>/dev/null || true
    "$work/bar/velmora" --copy 1
    echo "copy $(read_out)" >>"$work/results"
    echo "peak $((($(status VmHWM) - idle) * 1024))" >>"$work/results"
    kill $bar; wait $bar 2>/dev/null || true
done

python3 - "$work/results" "$bytes" <<'PY'
import os, statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, value = line.split()
    rows.setdefault(name, []).append(int(value))
size = int(sys.argv[2])
floor = statistics.median(rows["floor"])
print(f"text: {size / 1e6:.1f} MB, {len(rows['floor'])} runs, medians")
print(f"xclip to xclip -o (floor)   {floor:8.0f} ms")
print(f"capture into slot 1         {statistics.median(rows['capture']):8.0f} ms")
copy = statistics.median(rows["copy"])
print(f"slot 1 to xclip -o          {copy:8.0f} ms  {copy / floor:5.2f} x floor")
peak = statistics.median(rows["peak"])
print(f"peak memory above idle      {peak / 1e6:8.0f} MB  {peak / size:5.2f} x the text")
summary_file = os.environ.get("BENCH_SUMMARY")
if summary_file:
    with open(summary_file, "a") as out:
        out.write(f"{size / 1e6:.0f} MB slot copied to xclip -o\t{copy:.0f} ms\t{floor:.0f} ms\t{copy / floor:.2f}\t<= 1.2\n")
        out.write(f"peak memory, {size / 1e6:.0f} MB captured and copied\t{peak / 1e6:.0f} MB\t{size / 1e6:.0f} MB text\t{peak / size:.2f}\t<= 1.5\n")
PY
