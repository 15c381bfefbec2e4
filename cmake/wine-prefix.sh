#!/usr/bin/env bash
# setup: creates the build's Wine prefix once (virtual desktop on, so windows get frames
# without a window manager) and keeps one wineserver alive for the run. cleanup: ends it.
set -euo pipefail
export WINEPREFIX="$2"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

case "$1" in
  setup)
    if [ ! -f "$WINEPREFIX/.glazlo-ready-3" ]; then
      wineserver -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
      # A crashing test must end, not wait in the debugger until ctest's time-out.
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      # Real caption buttons (marlett) and the GUI font (tahoma), from the fonts-wine package.
      fonts="$WINEPREFIX/drive_c/windows/Fonts"
      mkdir -p "$fonts"
      for f in /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf; do
        [ -f "$f" ] && cp "$f" "$fonts/"
      done
      wineserver -w
      touch "$WINEPREFIX/.glazlo-ready-3"
    fi
    # Its output must not hold ctest's pipe open.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    ;;
  cleanup)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 setup|cleanup PREFIX" >&2
    exit 2
    ;;
esac
