#!/usr/bin/env bash
# Line and branch coverage of the portable core from a coverage build's test run.
set -euo pipefail
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
info="$build/coverage.info"
lcov --quiet --capture --directory "$build" --base-directory "$root" --rc lcov_branch_coverage=1 \
     --output-file "$info.all" >/dev/null 2>&1
lcov --quiet --extract "$info.all" "$root/store/*" "$root/transpose/*" "$root/chordpro/*" "$root/layout/*" \
     "$root/songlist/songlist_file.cpp" \
     "$root/shell/shared_state.cpp" --rc lcov_branch_coverage=1 --output-file "$info" >/dev/null 2>&1
lcov --summary "$info" --rc lcov_branch_coverage=1 2>&1 | grep -E "lines|branches|functions"
lcov --list "$info" --rc lcov_branch_coverage=1 2>/dev/null | sed -n '1,40p'
genhtml --quiet --branch-coverage "$info" --output-directory "$build/html" >/dev/null 2>&1 && \
  echo "coverage: report in $build/html/index.html"
