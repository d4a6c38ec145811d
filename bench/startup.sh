#!/usr/bin/env bash
# Start-up time to a mapped window and resident memory once mapped: velmora
# against a bare Qt window with the same menu bar and ten buttons, run in
# turns on one Xvfb server. Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-30}
work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM

# velmora runs from a folder of its own so that it always meets a first start.
mkdir -p "$work/bin"
cp "$build/velmora" "$build/Velmora.hlp" "$work/bin/"

# One warm-up run each fills the page cache.
"$build/mapwait" "$work/bin/velmora" >/dev/null 2>&1
"$build/mapwait" "$build/bare_window" >/dev/null 2>&1
for _ in $(seq "$runs"); do
    echo "velmora $("$build/mapwait" "$work/bin/velmora" 2>/dev/null)" >>"$work/results"
    echo "bare $("$build/mapwait" "$build/bare_window" 2>/dev/null)" >>"$work/results"
done

python3 - "$work/results" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, ms, kb = line.split()
    rows.setdefault(name, []).append((float(ms), int(kb)))
def summary(name):
    ms = [r[0] for r in rows[name]]
    kb = [r[1] for r in rows[name]]
    return statistics.median(ms), statistics.quantiles(ms, n=10)[8], statistics.median(kb)
v = summary("velmora"); b = summary("bare")
print(f"runs: {len(rows['velmora'])} each")
print(f"{'':10}{'median ms':>12}{'p90 ms':>10}{'RSS MB':>10}")
for name, s in (("velmora", v), ("bare", b)):
    print(f"{name:10}{s[0]:12.1f}{s[1]:10.1f}{s[2] / 1024:10.1f}")
print(f"time ratio velmora/bare: {v[0] / b[0]:.2f}   memory difference: {(v[2] - b[2]) / 1024:+.1f} MB")
PY
