#!/usr/bin/env bash
# Builds the product, lays out GlazloConfig.exe, GlazloCenter.exe and glzemb.dll with the sample
# Glazlo.ini and the help file Glazlo.chm in one folder, starts GlazloCenter under Wine, then Wine's
# Notepad, shows that the sample rule made Notepad transparent, and opens the rule editor
# GlazloConfig on the sample rule's page. Both keep running: "scripts/run.sh stop" ends them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GLZ_BUILD_DIR:-$root/build}
product=$build/product
prefix=$build/wineprefix
control=$build/bin/GlzCenterControl.exe
config_control=$build/bin/GlzConfigControl.exe
xvfb_pid_file=$build/run-xvfb.pid
display_file=$build/run-display

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" = stop ]; then
  [ -f "$display_file" ] && export DISPLAY=$(cat "$display_file")
  (cd "$product" && wine "$control" stop) || true
  (cd "$product" && wine "$config_control" close) || true
  if [ -f "$xvfb_pid_file" ]; then
    sleep 2
    kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true
    rm -f "$xvfb_pid_file"
  fi
  rm -f "$display_file"
  exit 0
fi

"$root/scripts/bootstrap.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
# Only what this run uses: the deliverables and the two helpers that drive them (scripts/test.sh
# builds everything else).
cmake --build "$build" -j"$(nproc)" --target GlazloConfig GlazloCenter glzemb GlazloHelp GlzCenterControl \
  GlzConfigControl

deliverables=(GlazloConfig.exe GlazloCenter.exe glzemb.dll Glazlo.ini Glazlo.chm)
for f in "${deliverables[@]}"; do
  [ -f "$build/bin/$f" ] || { echo "$f was not built." >&2; exit 1; }
done
mkdir -p "$product"
for f in "${deliverables[@]}"; do
  cp "$build/bin/$f" "$product/"
done
echo "Product laid out in $product:"
ls "$product" | sed 's/^/  /'

# The user's display, or Xvfb when there is none (kept alive for GlazloCenter).
source "$root/scripts/display.sh"
own_display=0
if ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  glz_ensure_display
  trap - EXIT
  own_display=1
  echo "$glz_xvfb_pid" >"$xvfb_pid_file"
fi
echo "$DISPLAY" >"$display_file"

"$root/cmake/wine-prefix.sh" setup "$prefix"
(cd "$product" && nohup wine GlazloCenter.exe </dev/null >"$build/GlazloCenter.log" 2>&1 &)
(cd "$product" && wine "$control" wait)
(nohup wine notepad </dev/null >/dev/null 2>&1 &)
(cd "$product" && wine "$control" alpha Notepad 15000) || true
if [ $own_display -eq 1 ]; then
  (cd "$product" && wine "$control" screenshot "$(winepath -w "$build/screenshot.bmp" 2>/dev/null)") || true
fi

# The rule editor on the sample rule's page.
(cd "$product" && nohup wine GlazloConfig.exe </dev/null >"$build/GlazloConfig.log" 2>&1 &)
(cd "$product" && wine "$config_control" show-rule 0) || true
if [ $own_display -eq 1 ]; then
  (cd "$product" && wine "$control" screenshot "$(winepath -w "$build/screenshot-editor.bmp" 2>/dev/null)") || true
  echo "Screenshot of the editor: $build/screenshot-editor.bmp"
fi

echo
echo "GlazloCenter and GlazloConfig keep running on display $DISPLAY (the tray menu has Close)."
echo "Stop both with: scripts/run.sh stop"
