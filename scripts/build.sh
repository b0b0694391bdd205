#!/usr/bin/env bash
# Builds everything: the native core with its tests and benchmarks
# (build/native) and the Windows programs (build/win, with build/win/Kestro.exe).
# Run with --win to build only Kestro.exe and its Windows companions.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)

cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$root/build/win" -j "$jobs"
[ "${1:-}" = "--win" ] && exit 0

cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKESTRO_WIN_BUILD="$root/build/win" >/dev/null
cmake --build "$root/build/native" -j "$jobs"
