#!/usr/bin/env bash
# Makes the Wine prefix of a build folder once: of the build's own bitness, no Mono
# or Gecko prompts, no window manager waits, crashes end the program at once, and
# real fixed-pitch fonts standing in for the faces the program asks for.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/wine-env.sh"
wine_use "$build"
stamp="$WINEPREFIX/.cantoria-ready-2"
[ -f "$stamp" ] && exit 0
rm -rf "$WINEPREFIX"
echo "wine-setup: making the $WINEARCH Wine prefix in $WINEPREFIX"
"$wine_cmd" wineboot -i >/dev/null 2>&1
reg() { "$wine_cmd" reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# the program's faces are not part of Wine: map them to DejaVu, which it finds
for face in "Lucida Console" "Courier New" "Courier"; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "DejaVu Sans Mono"
done
reg 'HKCU\Software\Wine\Fonts\Replacements' /v "MS Sans Serif" /d "DejaVu Sans"
"$wineserver_cmd" -w
touch "$stamp"
