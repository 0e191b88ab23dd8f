#!/usr/bin/env bash
# The Wine that runs here, chosen in one place. Where this machine runs 32-bit
# programs, the 32-bit build runs under Debian's `wine` in a win32 prefix, the way
# users get it; where it does not (the kernel's 32-bit emulation is off and Wine's
# 32-bit loader fails with "Exec format error"), the 64-bit build of the same
# sources runs under the 64-bit loader in a win64 prefix of its own.
#   source wine-env.sh; wine_use BUILD   exports the prefix and the loader for a
#                                        build folder; "$wine_cmd" and
#                                        "$wineserver_cmd" are then the commands
#   wine-env.sh build [WHO]              prints the Windows build folder to drive
#                                        here; where it is the 64-bit one, prints
#                                        one line saying so on stderr, headed WHO
wine_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian's `wine` script takes the 32-bit loader whenever it is installed, even
# where it cannot start, so the loader itself is tried.
wine_runs_32bit() {
  local out
  [ -x /usr/lib/wine/wine ] || return 1
  out=$(/usr/lib/wine/wine --version 2>&1) && return 0
  case $out in *"Exec format error"*) return 1 ;; esac
  # any other failure is not about the machine: let the 32-bit path report it
  return 0
}

wine_gui_build() {
  if wine_runs_32bit; then
    echo "$wine_env_root/build/win32"
  else
    echo "$wine_env_root/build/win64"
  fi
}

# Each build folder says which Windows it was built for (the build writes
# wine-arch); the prefix and the loader follow it.
wine_use() {
  local build=$1 arch=win32
  [ -f "$build/wine-arch" ] && arch=$(cat "$build/wine-arch")
  export WINEPREFIX="$build/wineprefix" WINEARCH="$arch" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$arch" = win64 ]; then
    # the loader and its server by path: the `wine` script would take the 32-bit one
    export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    wine_cmd=$WINELOADER
    wineserver_cmd=$WINESERVER
  else
    unset WINELOADER WINESERVER
    wine_cmd=wine
    wineserver_cmd=wineserver
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case ${1:-} in
    build)
      dir=$(wine_gui_build)
      case $dir in
        */win64) echo "${2:-GUI tests}: 64-bit build under wine64 (this machine runs no 32-bit programs)" >&2 ;;
      esac
      echo "$dir"
      ;;
    *) echo "usage: wine-env.sh build [WHO]" >&2; exit 2 ;;
  esac
fi
