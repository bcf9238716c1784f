#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite under Wine
# on a virtual display. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
source "$root/scripts/arch.sh"
if [ "$ZEP_ARCH" != i686 ]; then
  # The tests run the 64-bit variant here; the 32-bit program users get must
  # still build cleanly.
  echo "test: building the i686 program as well (it cannot run on this machine)"
  ZEP_ARCH=i686 ZEP_BUILD_DIR="$root/build/i686" bash "$root/scripts/build.sh" -DBUILD_TESTING=OFF >/dev/null
fi
source "$root/scripts/wine-env.sh"
cd "$ZEP_BUILD_DIR"
# Twice as many tests as cores: most of them wait on windows and on Wine
# much of the time.
status=0
"$root/scripts/wine-session.sh" --own-display \
  ctest --output-on-failure --timeout 600 -j "$((2 * $(nproc)))" "$@" || status=$?
if [ "$ZEP_ARCH" = i686 ]; then
  echo "test: the tests ran the i686 build under 32-bit Wine"
else
  echo "test: the tests ran the $ZEP_ARCH build under 64-bit Wine; the i686 program was built but not run (this machine runs no 32-bit code)"
fi
exit $status
