#!/usr/bin/env bash
# Makes the user guide's pictures docs/images/{home,viewer,viewer-plus3,editor,stage,stage-dark}.png:
# runs cantoria.exe under Xvfb and Wine on its example library, driven by the
# journeys of tests/gui/journeys/shots.txt, which save each window as the screen shows it;
# and the printed service docs/images/printed-{order,song,columns}.png, the first three
# pages of a "Print List" to the PDF printer.
#   screenshots.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
for exe in cantoria.exe gui_tests.exe; do
  if [ ! -f "$build/$exe" ]; then
    echo "screenshots: $build/$exe is missing: build it first (make win32)" >&2
    exit 1
  fi
done
shots=$(mktemp -d /tmp/cantoria-shots.XXXXXX)
trap 'rm -rf "$shots"' EXIT
CANTORIA_SHOTS="$shots" bash "$root/scripts/wine-run.sh" "$build" "$build/gui_tests.exe" shots "$build/cantoria.exe"
status=$?
# the printed service, once cups-pdf has closed its PDF
pdf=/var/spool/cups-pdf/out/SONG_LIST_$(date +%F).pdf
for i in $(seq 300); do tail -c 8 "$pdf" 2>/dev/null | grep -q EOF && break; sleep 0.1; done
cp "$pdf" "$shots/service.pdf" 2>/dev/null && rm -f "$pdf"
mkdir -p "$root/docs/images"
for name in home viewer viewer-plus3 editor stage stage-dark; do
  if [ -f "$shots/$name.png" ]; then
    # no time stamps in the PNG: the same screen gives the same file
    convert "$shots/$name.png" -strip -define png:exclude-chunks=date,time "$root/docs/images/$name.png"
    echo "screenshots: docs/images/$name.png"
  else
    echo "screenshots: no picture of the $name screen" >&2
    status=1
  fi
done
for page in 1 2 3; do
  name=$(case $page in 1) echo printed-order;; 2) echo printed-song;; *) echo printed-columns;; esac)
  if [ -f "$shots/service.pdf" ] &&
     pdftoppm -r 50 -png -f $page -l $page -singlefile "$shots/service.pdf" "$shots/$name"; then
    convert "$shots/$name.png" -bordercolor '#999999' -border 1 -strip -define png:exclude-chunks=date,time \
      "$root/docs/images/$name.png"
    echo "screenshots: docs/images/$name.png"
  else
    echo "screenshots: no picture of printed page $page" >&2
    status=1
  fi
done
exit $status
