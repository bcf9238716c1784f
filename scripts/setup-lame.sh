#!/usr/bin/env bash
# Cross-builds Debian's LAME source package as a static library for Windows
# (ZEP_ARCH: i686, or the x86_64 fallback), once: gogo.dll links it. The
# result is cached outside the work tree (ZEP_LAME_DIR, default
# /var/cache/zep/lame-$ZEP_ARCH) so every clone and build folder shares it.
# Also installs the host's lame, which the MP3 benchmark compares with.
# Idempotent: with the cache in place it only checks and returns.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/arch.sh"
host=$ZEP_ARCH-w64-mingw32
cache=${ZEP_LAME_DIR:-/var/cache/zep/lame-$ZEP_ARCH}
cflags="-O3 -msse2 -mfpmath=sse" # x87 floating point is several times slower
recipe="lame $host static, CFLAGS=$cflags"
apt_get=(apt-get -y -qq -o DPkg::Lock::Timeout=300)
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

install_tools() {
  local missing=()
  for p in dpkg-dev lame; do
    installed "$p" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${apt_get[@]}" update
    "${apt_get[@]}" install --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# Source entries mirror the machine's own binary entries for its release, so
# no archive is named here.
deb822_sources() {
  local codename=$1 file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    case $file in */zep-deb-src.sources) continue ;; esac
    awk -v codename="$codename" 'BEGIN { RS = ""; ORS = "\n\n" }
      /(^|\n)Types:[^\n]*deb/ && $0 ~ ("(^|\n)Suites:[^\n]*" codename) \
          && !/(^|\n)Enabled:[ \t]*no/ {
        sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print
      }' "$file"
  done
}

one_line_sources() {
  local codename=$1 file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    case $file in */zep-deb-src.list) continue ;; esac
    awk -v codename="$codename" \
      '$1 == "deb" && $0 ~ (" " codename "[ /-]") { $1 = "deb-src"; print }' "$file"
  done
}

enable_sources() {
  if apt-cache showsrc lame 2>/dev/null | grep -q '^Package: lame$'; then
    return 0
  fi
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  local entries
  entries=$(deb822_sources "$codename")
  [ -z "$entries" ] || echo "$entries" >/etc/apt/sources.list.d/zep-deb-src.sources
  entries=$(one_line_sources "$codename")
  [ -z "$entries" ] || echo "$entries" >/etc/apt/sources.list.d/zep-deb-src.list
  "${apt_get[@]}" update
}

build_lame() {
  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  echo "setup: cross-building LAME for $host into $cache (once)"
  (cd "$work" && apt-get source -qq lame >/dev/null 2>&1)
  local src
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'lame-*' | head -n 1)
  (
    cd "$src"
    ./configure -q --host="$host" --prefix="$work/install" \
      CC="$host-gcc-posix" CFLAGS="$cflags" \
      --disable-shared --enable-static --disable-frontend --disable-decoder
    make -s -j "$(nproc)" >/dev/null
    make -s install >/dev/null
  ) >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    return 1
  }
  echo "$recipe" >"$work/install/.zep-recipe"
  mkdir -p "$(dirname "$cache")"
  rm -rf "$cache"
  mv "$work/install" "$cache"
}

if [ -f "$cache/.zep-recipe" ] && [ "$(cat "$cache/.zep-recipe")" = "$recipe" ] &&
  installed lame; then
  exit 0
fi
install_tools
if ! [ -f "$cache/.zep-recipe" ] || [ "$(cat "$cache/.zep-recipe")" != "$recipe" ]; then
  enable_sources
  build_lame
fi
