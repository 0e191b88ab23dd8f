#!/usr/bin/env bash
# Starts cantoria.exe under Wine in the checkout's library/ folder; without a
# display it runs under Xvfb, saves a screenshot and ends the program.
#   run.sh [BUILD_DIR]      the build that runs here by default
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
build=$(cd "${1:-$(bash "$root/scripts/wine-env.sh" build "make run")}" && pwd)
bash "$root/scripts/wine-setup.sh" "$build"
wine_use "$build"
mkdir -p "$root/library"
cd "$root/library"
if [ -n "${DISPLAY:-}" ]; then
  exec "$wine_cmd" "$build/cantoria.exe"
fi
shot="$root/library/screenshot.png"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$3" "$1" & pid=$!
  sleep 6
  import -window root "$2"
  kill $pid 2>/dev/null; "$4" -k 2>/dev/null; wait $pid 2>/dev/null; true
' _ "$build/cantoria.exe" "$shot" "$wine_cmd" "$wineserver_cmd"
echo "No display: ran cantoria.exe under Xvfb; the screen is in $shot"
