#!/usr/bin/env bash
# Packs the release zip, unpacks it into an empty folder and runs the release GUI
# suite against the cantoria.exe that came out of the zip.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
zip=$(bash "$root/scripts/dist.sh" "$build" | tail -1)
unpacked="$build/release-unpacked"
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
exe=$(find "$unpacked" -name cantoria.exe | head -1)
for f in USER_GUIDE.md LICENSE.txt; do
  [ -f "$(dirname "$exe")/$f" ] || { echo "release: $f missing from $zip"; exit 1; }
done
# the program's file properties carry its version and name
for field in FileVersion=1.1.0 ProductName=Cantoria; do
  strings -el "$exe" | grep -A1 -x "${field%%=*}" | grep -qx "${field#*=}" ||
    { echo "release: cantoria.exe has no $field in its version information"; exit 1; }
done
exec bash "$root/scripts/wine-run.sh" "$build" "$build/gui_tests.exe" release "$exe"
