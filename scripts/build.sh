#!/usr/bin/env bash
# Builds the trees: build/native (portable core, unit tests, benchmarks, tools),
# build/win32 (everything for 32-bit Windows: the product) and, where the kernel runs no
# 32-bit programs, build/win64 (the same sources for 64-bit Windows, to test under wine64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-arch.sh"
jobs=$(nproc)
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/native" -j "$jobs"
cmake -S "$root" -B "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win32" -j "$jobs"
if [ "$VELDO_RUN_BUILD" = win64 ]; then
  cmake -S "$root" -B "$root/build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$root/build/win64" -j "$jobs"
fi
