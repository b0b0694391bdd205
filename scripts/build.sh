#!/usr/bin/env bash
# Builds everything: the Windows programs (build/win, with build/win/Kestro.exe),
# the fuzz targets (build/fuzz, clang) and the native core with its tests and
# benchmarks (build/native).
# Run with --win to build only Kestro.exe and its Windows companions, with
# --fuzz to build only the fuzz targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
only=${1:-}

if [ "$only" != "--fuzz" ]; then
  cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$root/build/win" -j "$jobs"
fi
[ "$only" = "--win" ] && exit 0

cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKESTRO_FUZZ=ON >/dev/null
cmake --build "$root/build/fuzz" -j "$jobs"
[ "$only" = "--fuzz" ] && exit 0

cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKESTRO_WIN_BUILD="$root/build/win" -DKESTRO_FUZZ_BUILD="$root/build/fuzz" >/dev/null
cmake --build "$root/build/native" -j "$jobs"
