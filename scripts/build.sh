#!/usr/bin/env bash
# Configures and builds everything into build/ (build/dist holds what a user installs).
# Arguments are passed on to CMake's configure step.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/arch.sh"
build=${ZEP_BUILD_DIR:-$root/build}
# A tree configured for the other architecture starts over.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "toolchain-$ZEP_ARCH-mingw" "$build/CMakeCache.txt"; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$ZEP_ARCH-mingw.cmake" \
      -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
