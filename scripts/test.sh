#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite under Wine
# on a virtual display. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
cd "$ZEP_BUILD_DIR"
"$root/scripts/wine-session.sh" --own-display \
  ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
