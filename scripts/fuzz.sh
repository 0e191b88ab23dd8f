#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds each,
# starting from the seed corpora kept in fuzz/corpus/<target>/; the readers of the
# library and of the song list also start from the hostile files of tests/fixtures/hostile/.
set -euo pipefail
build=$1
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for exe in "$build"/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  work="$build/corpus-$name"
  mkdir -p "$work"
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  case $name in fuzz_index|fuzz_songlist) seeds+=("$root/tests/fixtures/hostile") ;; esac
  echo "fuzz: $name for ${seconds}s"
  if ! "$exe" -artifact_prefix="$build/" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
       "$work" "${seeds[@]}" >"$build/$name.log" 2>&1; then
    echo "fuzz: $name FAILED; see $build/$name.log"; tail -40 "$build/$name.log"; status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/$name.log" | tail -2 | sed "s/^/fuzz: $name: /"
  fi
done
exit $status
