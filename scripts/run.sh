#!/usr/bin/env bash
# Sets up what is missing, builds, and starts ZEP under Wine. Without a
# display it runs ZEP on a virtual one, saves a screenshot of its window,
# says where, and closes it again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
exe="$ZEP_BUILD_DIR/dist/ZEP.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$root/scripts/wine-session.sh" wine "$exe"
fi
exec "$root/scripts/wine-session.sh" --own-display "$root/scripts/screenshot.sh" "$exe" \
  "$ZEP_BUILD_DIR/zep-screenshot.png"
