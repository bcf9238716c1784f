#!/usr/bin/env bash
# Builds what a user downloads into build/packages/: the portable
# ZEP-<version>-win32.zip and the installer ZEP-<version>-setup.exe, after
# the set-up and the build the README's commands do.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" >/dev/null
build=${ZEP_BUILD_DIR:-$root/build}
bash "$root/scripts/make-packages.sh" "$build/dist" "$build/packages"
ls -l "$build/packages"/*.zip "$build/packages"/*.exe | awk '{ print $5, $9 }'
