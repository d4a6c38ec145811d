#!/usr/bin/env bash
# Start-up time to a mapped window and resident memory once mapped: velmora on a
# first start (no settings file: the document type is registered and given to
# the desktop) and with a settings file (four recent documents, the vertical
# layout), against a bare Qt window with the same menu bar and ten buttons, run
# in turns on one Xvfb server. The processor time used up to the map is
# reported beside the wall time: on a machine that others share, the wall time
# also holds the waits for a processor. Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-30}
source "$(dirname "$0")/lib.sh"

# Each velmora runs from a folder of its own; the first-start one is emptied
# before every run, together with what registration wrote.
for case in first settings; do
    mkdir -p "$work/$case"
    cp "$build/velmora" "$build/libvelmora-bar.so" "$build/Velmora.hlp" "$work/$case/"
done
for i in 1 2 3 4; do
    for _ in $(seq 20); do printf '""\r\n'; done >"$work/settings/recent $i.vmd"
done
printf '1200\r\n3000\r\n6690\r\n1380\r\n1\r\n1\r\n1\r\n1\r\n' >"$work/settings/velmor.ini"
for i in 1 2 3 4; do printf '"%s"\r\n' "$work/settings/recent $i.vmd"; done >>"$work/settings/velmor.ini"

# The desktop tools that a first start runs once its window is up finish before the next run.
first() {
    rm -rf "$work/home" "$work/first/velmor.ini"
    "$build/mapwait" "$work/first/velmora" 2>/dev/null
    while pgrep -f 'update-(mime|desktop)-database' >/dev/null; do sleep 0.05; done
}
settings() { "$build/mapwait" "$work/settings/velmora" 2>/dev/null; }
bare() { "$build/mapwait" "$build/bare_window" 2>/dev/null; }
# One warm-up run each fills the page cache.
for case in first settings bare; do "$case" >/dev/null; done
for _ in $(seq "$runs"); do
    for case in first settings bare; do echo "$case $("$case")" >>"$work/results"; done
done

python3 - "$work/results" <<'PY'
import os, statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, ms, kb, cpu = line.split()
    rows.setdefault(name, []).append((float(ms), int(kb), float(cpu)))
def summary(name):
    ms = [r[0] for r in rows[name]]
    kb = [r[1] for r in rows[name]]
    cpu = [r[2] for r in rows[name]]
    return statistics.median(ms), statistics.quantiles(ms, n=10)[8], statistics.median(kb), statistics.median(cpu)
bare = summary("bare")
print(f"runs: {len(rows['bare'])} each, in turns")
print(f"{'':22}{'median ms':>10}{'p90 ms':>10}{'x bare':>8}{'CPU ms':>8}{'x bare':>8}{'RSS MB':>9}{'+MB':>7}")
for name, label in (("first", "velmora, first start"), ("settings", "velmora, settings"), ("bare", "bare Qt window")):
    s = summary(name)
    print(f"{label:22}{s[0]:10.1f}{s[1]:10.1f}{s[0] / bare[0]:8.2f}{s[3]:8.1f}{s[3] / bare[3]:8.2f}"
          f"{s[2] / 1024:9.1f}{(s[2] - bare[2]) / 1024:+7.1f}")
summary_file = os.environ.get("BENCH_SUMMARY")
if summary_file:
    first, settings = summary("first"), summary("settings")
    with open(summary_file, "a") as out:
        out.write(f"start-up, settings file, every feature in\t{settings[0]:.1f} ms\t{bare[0]:.1f} ms\t{settings[0] / bare[0]:.2f}\t<= 1.05\n")
        out.write(f"start-up CPU time to the map, settings file\t{settings[3]:.1f} ms\t{bare[3]:.1f} ms\t{settings[3] / bare[3]:.2f}\t<= 1.05\n")
        out.write(f"memory once mapped, every feature in\t{settings[2] / 1024:.1f} MB\t{bare[2] / 1024:.1f} MB\t{(settings[2] - bare[2]) / 1024:+.1f} MB\t<= +2 MB\n")
        out.write(f"start-up, first start (registration)\t{first[0]:.1f} ms\t{bare[0]:.1f} ms\t{first[0] / bare[0]:.2f}\t<= 1.15\n")
PY
