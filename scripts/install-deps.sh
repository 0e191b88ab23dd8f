#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine; does nothing when all is present.
set -euo pipefail

need_pkgs=(cmake g++ make googletest libgtest-dev libbenchmark-dev clang
  mingw-w64-i686-dev g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  mingw-w64-x86-64-dev g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth imagemagick fonts-dejavu-core
  cups cups-client printer-driver-cups-pdf libcups2:i386 poppler-utils ghostscript
  zip unzip lcov)

# chordsheetjs, which a test feeds the ChordPro export to, from the npm registry into
# build/node; where node or npm is missing that test says so and is skipped.
root="$(cd "$(dirname "$0")/.." && pwd)"
if command -v npm >/dev/null 2>&1 && [ ! -d "$root/build/node/node_modules/chordsheetjs" ]; then
  mkdir -p "$root/build/node"
  npm install --silent --no-audit --no-fund --prefix "$root/build/node" chordsheetjs@15.5.2 >/dev/null 2>&1 ||
    echo "install-deps: chordsheetjs could not be installed with npm; its test will be skipped" >&2
fi

missing=()
for p in "${need_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
