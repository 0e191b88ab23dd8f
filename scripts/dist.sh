#!/usr/bin/env bash
# Packs the release: dist/cantoria-<version>.zip with the program, the user guide
# (and its pictures) and the licence. Prints the zip's path.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(cantoria VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name="cantoria-$version"
stage="$build/dist-stage/$name"
rm -rf "$build/dist-stage"
mkdir -p "$stage/images" "$root/dist"
cp "$build/cantoria.exe" "$stage/"
cp "$root/LICENSE" "$stage/LICENSE.txt"
cp "$root/docs/USER_GUIDE.md" "$stage/USER_GUIDE.md"
cp "$root"/docs/images/*.png "$stage/images/" 2>/dev/null || true
zip="$root/dist/$name.zip"
rm -f "$zip"
(cd "$build/dist-stage" && zip -qr "$zip" "$name")
echo "$zip"
