#!/usr/bin/env bash
# Packs the release zip, unpacks it into an empty folder, checks what it holds and
# runs the release GUI suite against the cantoria.exe that came out of the zip.
#   release-test.sh RUN_BUILD [RELEASE_BUILD]
# The release is always the 32-bit build (RELEASE_BUILD, by default RUN_BUILD).
# Where RUN_BUILD is the 64-bit build (this machine runs no 32-bit programs), its
# cantoria.exe of the same sources takes the zip's place in the unpacked folder.
set -euo pipefail
build=$(cd "$1" && pwd)
release=$(cd "${2:-$1}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
zip=$(bash "$root/scripts/dist.sh" "$release" | tail -1)
unpacked="$build/release-unpacked"
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
exe=$(find "$unpacked" -name cantoria.exe | head -1)
[ -n "$exe" ] || { echo "release: no cantoria.exe in $zip"; exit 1; }
for f in USER_GUIDE.md LICENSE.txt; do
  [ -f "$(dirname "$exe")/$f" ] || { echo "release: $f missing from $zip"; exit 1; }
done
# users get a 32-bit Windows program with its own window, not a console
headers=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null || true)
grep -q "file format pei-i386" <<<"$headers" || { echo "release: cantoria.exe in $zip is not a 32-bit program"; exit 1; }
grep -q "(Windows GUI)" <<<"$headers" || { echo "release: cantoria.exe in $zip is not a GUI program"; exit 1; }
# the program's file properties carry its version and name
for field in FileVersion=1.1.0 ProductName=Cantoria; do
  strings -el "$exe" | grep -A1 -x "${field%%=*}" | grep -qx "${field#*=}" ||
    { echo "release: cantoria.exe has no $field in its version information"; exit 1; }
done
if [ "$(cat "$build/wine-arch" 2>/dev/null)" = win64 ]; then
  echo "release: the zip's content is checked; this machine runs no 32-bit programs, so the 64-bit build" \
       "of the same sources runs in its place"
  cp "$build/cantoria.exe" "$exe"
fi
exec bash "$root/scripts/wine-run.sh" "$build" "$build/gui_tests.exe" release "$exe"
