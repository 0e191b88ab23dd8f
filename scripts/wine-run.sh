#!/usr/bin/env bash
# Runs a Windows program of a build folder under Xvfb and Wine, with the build's prefix.
#   wine-run.sh BUILD_DIR PROGRAM.exe [ARGS...]
set -uo pipefail
build=$(cd "$1" && pwd); shift
bash "$(dirname "$0")/wine-setup.sh" "$build" || exit 1
source "$(dirname "$0")/wine-env.sh"
wine_use "$build"
# the GUI tests read their journeys and fixtures from the source tree
export CANTORIA_SOURCE="${CANTORIA_SOURCE:-$(cd "$(dirname "$0")/.." && pwd)}"
[ -x "$(dirname "$0")/cups-start.sh" ] && bash "$(dirname "$0")/cups-start.sh" >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1280x1024x24" "$wine_cmd" "$@"
status=$?
"$wineserver_cmd" -k >/dev/null 2>&1 || true
exit $status
