# Sourced: the environment every Wine call of the build and the tests uses.
# The build keeps a Wine prefix of its own so that a user's prefix is never touched.
zep_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$zep_root/scripts/arch.sh"
export ZEP_BUILD_DIR=${ZEP_BUILD_DIR:-$zep_root/build}
export WINEPREFIX=${ZEP_WINEPREFIX:-$ZEP_BUILD_DIR/wineprefix-$ZEP_ARCH}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: they would ask on first start and are not needed.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ "$ZEP_ARCH" = i686 ]; then
  export WINEARCH=win32
else
  # Debian's wine launcher tries the 32-bit loader first; point every name
  # the scripts and Wine's own tools call at the 64-bit loader instead.
  export WINEARCH=win64
  zep_wine_bin="$ZEP_BUILD_DIR/wine64-bin"
  if [ ! -x "$zep_wine_bin/wine" ]; then
    mkdir -p "$zep_wine_bin"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$zep_wine_bin/wine"
    chmod +x "$zep_wine_bin/wine"
    ln -sf wine "$zep_wine_bin/wine-stable"
  fi
  case ":$PATH:" in *":$zep_wine_bin:"*) ;; *) export PATH="$zep_wine_bin:$PATH" ;; esac
fi
