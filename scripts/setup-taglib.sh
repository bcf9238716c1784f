#!/usr/bin/env bash
# Cross-builds Debian's TagLib source package as a static library for
# Windows, once: ZEP.exe and ZEPc.exe link it to read and write tags. Always
# for i686 (the program users get), and for x86_64 too where that fallback
# is built. Each is cached outside the work tree in /var/cache/zep/taglib-ARCH.
# Idempotent: with the cache in place it only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/arch.sh"
source "$here/debian-source.sh"

# x87 floating point is several times slower; TagLib needs little of it, but
# everything linked into ZEP is built alike.
cxxflags() { if [ "$1" = i686 ]; then echo "-O2 -msse2 -mfpmath=sse"; else echo "-O2"; fi; }
recipe() { echo "taglib $1-w64-mingw32 static, no zlib, CXXFLAGS=$(cxxflags "$1")"; }
cache_dir() { echo "/var/cache/zep/taglib-$1"; }
built() { [ "$(cat "$(cache_dir "$1")/.zep-recipe" 2>/dev/null)" = "$(recipe "$1")" ]; }

install_tools() {
  local missing=() p
  for p in dpkg-dev cmake; do
    installed "$p" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${apt_get[@]}" update
    "${apt_get[@]}" install --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

build_taglib() {
  local cache work src
  cache=$(cache_dir "$1")
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  echo "setup: cross-building TagLib for $1-w64-mingw32 into $cache (once)"
  (cd "$work" && apt-get source -qq taglib >/dev/null 2>&1)
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'taglib-*' | head -n 1)
  # Debian's patch takes utf8-cpp from a host package as <utf8/...>; the
  # copy in the source tree is the same code, found under that name here.
  mkdir -p "$work/include"
  ln -s "$src/3rdparty/utf8-cpp" "$work/include/utf8"
  (
    cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/toolchain-$1-mingw.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="$(cxxflags "$1") -DNDEBUG" \
      -DCMAKE_CXX_FLAGS="-I$work/include" -DCMAKE_INSTALL_PREFIX="$work/install" \
      -DBUILD_SHARED_LIBS=OFF -DBUILD_BINDINGS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
      -DWITH_ZLIB=OFF
    cmake --build "$work/build" -j "$(nproc)"
    cmake --install "$work/build"
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
[ ${#missing[@]} -eq 0 ] && exit 0
install_tools
enable_sources taglib
for arch in "${missing[@]}"; do
  build_taglib "$arch"
done
