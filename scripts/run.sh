#!/usr/bin/env bash
# Installs what is missing, builds the product and says which deliverables exist.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GLZ_BUILD_DIR:-$root/build}

"$root/scripts/bootstrap.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)"

echo "Deliverables in $build/bin:"
found=0
for f in GlazloConfig.exe GlazloCenter.exe glzemb.dll; do
  if [ -f "$build/bin/$f" ]; then echo "  $f"; found=1; fi
done
[ $found -eq 1 ] || echo "  (none built yet)"
