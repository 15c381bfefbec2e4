#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test program under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GLZ_BUILD_DIR:-$root/build}

"$root/scripts/bootstrap.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)"

source "$root/scripts/display.sh"
glz_ensure_display
cd "$build"
ctest --output-on-failure --timeout 900 "$@"
