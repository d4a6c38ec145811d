#!/usr/bin/env bash
# velmora --copy K on sway, the bar on XWayland and its copies going through the
# compositor's clipboard manager protocol: the time from the command's start to
# its text being readable with wl-paste, against wl-copy of the same text as the
# floor, run in turns. sway and its clients are started as in the end-to-end
# tests, as an unprivileged user when started as root.
# Usage: bench/wayland_copy.sh BUILD_DIR/velmora RESOURCES [RUNS]
set -euo pipefail
# Opened before root is given up (the script then runs again from the top):
# the summary may belong to root.
[ -e /dev/fd/7 ] || exec 7>>"${BENCH_SUMMARY:-/dev/null}"
export E2E_USER=${E2E_USER:-nobody}
source "$(dirname "$0")/../tests/e2e/lib.sh" "$@"
start_session
start_compositor sway
text="The text of slot 3, copied by the benchmark"
items "" "" "" "" "" "$text" >"$WORK/set.vmd"
start_velmora "$WORK/set.vmd"

python3 - "$WORK/bin/velmora" "${3:-50}" "$text" <<'PY'
import os, statistics, subprocess, sys, time
velmora, runs, text = sys.argv[1], int(sys.argv[2]), sys.argv[3].encode()
owners = []

def readable(expected):
    while subprocess.run(["wl-paste", "--no-newline"], capture_output=True).stdout != expected:
        pass

def offered(data):
    # wl-copy offers it until another program takes the clipboard, then ends.
    owners.append(subprocess.Popen(["wl-copy", "--foreground", "--", data], stderr=subprocess.DEVNULL))

def timed(case):
    offered("reset")
    readable(b"reset")
    start = time.perf_counter()
    case()
    readable(text)
    return (time.perf_counter() - start) * 1000

cases = {
    "wl-copy (floor)": lambda: offered(text.decode()),
    "velmora --copy 3": lambda: subprocess.run([velmora, "--copy", "3"], check=True),
}
results = {name: [] for name in cases}
for case in cases.values():
    timed(case)  # warm-up
for _ in range(runs):
    for name, case in cases.items():
        results[name].append(timed(case))
for owner in owners:
    owner.kill()
    owner.wait()

floor = statistics.median(results["wl-copy (floor)"])
print(f"runs: {runs} each, in turns, on sway")
print(f"{'':24}{'median ms':>10}{'p90 ms':>10}{'x floor':>9}")
for name, values in results.items():
    median = statistics.median(values)
    print(f"{name:24}{median:10.2f}{statistics.quantiles(values, n=10)[8]:10.2f}{median / floor:9.2f}")
copy = statistics.median(results["velmora --copy 3"])
os.write(7, f"velmora --copy K to wl-paste, sway\t{copy:.1f} ms\t{floor:.1f} ms\t{copy / floor:.2f}\t<= 1.5\n".encode())
PY
