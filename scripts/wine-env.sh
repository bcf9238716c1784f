# Sourced: the environment every Wine call of the build and the tests uses.
# The build keeps a Wine prefix of its own so that a user's prefix is never touched.
zep_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ZEP_BUILD_DIR=${ZEP_BUILD_DIR:-$zep_root/build}
export WINEPREFIX=${ZEP_WINEPREFIX:-$ZEP_BUILD_DIR/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: they would ask on first start and are not needed.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
