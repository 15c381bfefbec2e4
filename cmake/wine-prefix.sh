#!/usr/bin/env bash
# setup: creates the build's Wine prefix once (virtual desktop on, so windows get frames
# without a window manager) and keeps one wineserver alive for the run. cleanup: ends it.
set -euo pipefail
export WINEPREFIX="$2"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

case "$1" in
  setup)
    if [ ! -f "$WINEPREFIX/.glazlo-ready" ]; then
      rm -rf "$WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.glazlo-ready"
    fi
    # Its output must not hold ctest's pipe open.
    wineserver -p </dev/null >/dev/null 2>&1
    ;;
  cleanup)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 setup|cleanup PREFIX" >&2
    exit 2
    ;;
esac
