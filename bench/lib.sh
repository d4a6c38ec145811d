# Shared set-up of the benchmarks: a work folder, an Xvfb server without a window
# manager, and a home and runtime folder of their own, so that nothing of the
# machine's own desktop takes part. What a benchmark starts and adds to STOP is
# ended with the server when it exits. Usage: source bench/lib.sh
work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
STOP=()
trap 'kill "${STOP[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
STOP+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
mkdir -m 700 "$work/run"
export DISPLAY=":$(head -n1 "$work/display")" HOME=$work/home XDG_DATA_HOME=$work/home/data \
    XDG_CONFIG_HOME=$work/home/config XDG_RUNTIME_DIR=$work/run
unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORM
