#!/usr/bin/env bash
# Runs every benchmark: the native Google Benchmark programs, then the real
# program under Wine over generated libraries. Output also lands in build/bench.txt.
set -euo pipefail
native=$1
win=$2
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/bench.txt"
: > "$out"
for exe in "$native"/bench_*; do
  [ -x "$exe" ] || continue
  echo "== $(basename "$exe")" | tee -a "$out"
  "$exe" --benchmark_min_time=0.2 2>&1 | tee -a "$out"
done
if [ -f "$win/gui_tests.exe" ]; then
  echo "== wine" | tee -a "$out"
  bash "$root/scripts/wine-run.sh" "$win" "$win/gui_tests.exe" bench "$win/cantoria.exe" 2>&1 \
    | grep -E "^BENCH|FAIL|passed" | tee -a "$out"
fi
echo "bench: results in $out"
