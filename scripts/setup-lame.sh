#!/usr/bin/env bash
# Cross-builds Debian's LAME source package as a static library for Windows,
# once: gogo.dll links it. Always for i686 (the program users get), and for
# x86_64 too where that fallback is built. Each is cached outside the work
# tree in /var/cache/zep/lame-ARCH, shared by every clone and build folder.
# Also installs the host's lame, which the MP3 benchmark compares with.
# Idempotent: with the cache in place it only checks and returns.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/arch.sh"
source "$(dirname "${BASH_SOURCE[0]}")/debian-source.sh"
cflags="-O3 -msse2 -mfpmath=sse" # x87 floating point is several times slower

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

recipe() { echo "lame $1-w64-mingw32 static, CFLAGS=$cflags"; }
cache_dir() { echo "/var/cache/zep/lame-$1"; }
built() { [ "$(cat "$(cache_dir "$1")/.zep-recipe" 2>/dev/null)" = "$(recipe "$1")" ]; }

build_lame() {
  local host=$1-w64-mingw32 cache
  cache=$(cache_dir "$1")
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
  recipe "$1" >"$work/install/.zep-recipe"
  mkdir -p "$(dirname "$cache")"
  rm -rf "$cache"
  mv "$work/install" "$cache"
}

arches=(i686)
[ "$ZEP_ARCH" = i686 ] || arches+=("$ZEP_ARCH")
missing=()
for arch in "${arches[@]}"; do
  built "$arch" || missing+=("$arch")
done
[ ${#missing[@]} -eq 0 ] && installed lame && exit 0
install_tools
[ ${#missing[@]} -eq 0 ] && exit 0
enable_sources lame
for arch in "${missing[@]}"; do
  build_lame "$arch"
done
