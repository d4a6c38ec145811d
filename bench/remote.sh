#!/usr/bin/env bash
# velmora --copy K against a running bar: the time from the command's start to
# its text being readable with xclip -o, against xclip -i of the same text as
# the floor, run in turns on one Xvfb server; and beside them the start-up of a
# new bar to its mapped window. Usage: bench/remote.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-100}
source "$(dirname "$0")/lib.sh"
mkdir "$work/bar" "$work/new"

text="The text of slot 3, copied by the benchmark"
for i in $(seq 20); do [ "$i" -eq 6 ] && printf '"%s"\r\n' "$text" || printf '""\r\n'; done >"$work/set.vmd"
printf '1200\r\n3000\r\n6690\r\n1380\r\n0\r\n1\r\n0\r\n1\r\n""\r\n""\r\n""\r\n""\r\n' |
    tee "$work/bar/velmor.ini" >"$work/new/velmor.ini"
for folder in bar new; do cp "$build/velmora" "$build/libvelmora-bar.so" "$build/Velmora.hlp" "$work/$folder/"; done
"$work/bar/velmora" "$work/set.vmd" >/dev/null 2>&1 &
STOP+=($!)
for _ in $(seq 200); do "$work/bar/velmora" --copy 3 2>/dev/null && break; sleep 0.05; done

python3 - "$work" "$build" "$runs" "$text" <<'PY'
import os, statistics, subprocess, sys, time
work, build, runs, text = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4].encode()
clip = ["xclip", "-selection", "clipboard"]

def readable(expected):
    while subprocess.run(clip + ["-o"], capture_output=True).stdout != expected:
        pass

def reset():
    subprocess.run(clip + ["-i"], input=b"reset", check=True)
    readable(b"reset")

def timed(command, **kwargs):
    reset()
    start = time.perf_counter()
    subprocess.run(command, check=True, **kwargs)
    readable(text)
    return (time.perf_counter() - start) * 1000

cases = {
    "xclip -i (floor)": lambda: timed(clip + ["-i"], input=text),
    "velmora --copy 3": lambda: timed([work + "/bar/velmora", "--copy", "3"]),
}
results = {name: [] for name in cases}
for name, case in cases.items():
    case()  # warm-up
for _ in range(runs):
    for name, case in cases.items():
        results[name].append(case())
starts = []
for _ in range(max(5, runs // 10)):
    out = subprocess.run([build + "/mapwait", work + "/new/velmora"], capture_output=True, text=True, check=True)
    starts.append(float(out.stdout.split()[0]))
results["new bar, start to map"] = starts

floor = statistics.median(results["xclip -i (floor)"])
print(f"runs: {runs} each, in turns; start-up: {len(starts)} runs")
print(f"{'':24}{'median ms':>10}{'p90 ms':>10}{'x floor':>9}")
for name, values in results.items():
    median = statistics.median(values)
    p90 = statistics.quantiles(values, n=10)[8]
    print(f"{name:24}{median:10.2f}{p90:10.2f}{median / floor:9.2f}")
summary_file = os.environ.get("BENCH_SUMMARY")
if summary_file:
    copy = statistics.median(results["velmora --copy 3"])
    with open(summary_file, "a") as out:
        out.write(f"velmora --copy K to xclip -o\t{copy:.1f} ms\t{floor:.1f} ms\t{copy / floor:.2f}\t<= 1.5\n")
PY
