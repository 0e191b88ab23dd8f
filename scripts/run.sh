#!/usr/bin/env bash
# Starts cantoria.exe under Wine in the checkout's library/ folder; without a
# display it runs under Xvfb, saves a screenshot and ends the program.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/wine-setup.sh" "$build"
export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$root/library"
cd "$root/library"
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$build/cantoria.exe"
fi
shot="$root/library/screenshot.png"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wine "$1" & pid=$!
  sleep 6
  import -window root "$2"
  kill $pid 2>/dev/null; wineserver -k 2>/dev/null; wait $pid 2>/dev/null; true
' _ "$build/cantoria.exe" "$shot"
echo "No display: ran cantoria.exe under Xvfb; the screen is in $shot"
