#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each from its seeds in tests/fuzz/corpus,
# keeping what it finds new in BUILD/fuzz-corpus, and fails on any finding.
# Usage: tests/fuzz/run.sh BUILD SECONDS
set -uo pipefail
build=$(cd "$1" && pwd) seconds=$2 seeds=$(cd "$(dirname "$0")/corpus" && pwd) failed=0
mkdir -p "$build/fuzz-findings"
# Scratch files of the targets go to memory where there is a memory file system.
TMPDIR=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)") && export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
printf '%-16s %12s %10s %8s  %s\n' target executions "exec/s" corpus finding
for target in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target") corpus=$build/fuzz-corpus/$(basename "$target")
    mkdir -p "$corpus"
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-findings/$name-" "$corpus" "$seeds/${name#fuzz_}" >"$build/$name.log" 2>&1
    status=$?
    runs=$(awk '/stat::number_of_executed_units:/ {print $2}' "$build/$name.log")
    rate=$(awk '/stat::average_exec_per_sec:/ {print $2}' "$build/$name.log")
    finding=none
    if [ "$status" -ne 0 ]; then
        finding=$(grep -m1 -E '^==[0-9]+==ERROR|deadly signal|timeout|out-of-memory' "$build/$name.log" || echo "exit $status")
        failed=1
        tail -n 40 "$build/$name.log" >&2
    fi
    printf '%-16s %12s %10s %8s  %s\n' "${name#fuzz_}" "${runs:-?}" "${rate:-?}" "$(ls "$corpus" | wc -l)" "$finding"
done
exit $failed
