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

recipe() { echo "lame $1-w64-mingw32 static, CFLAGS=$cflags"; }

# ARCH SOURCE PREFIX
build_lame() {
  local host=$1-w64-mingw32
  cd "$2" &&
    ./configure -q --host="$host" --prefix="$3" CC="$host-gcc-posix" CFLAGS="$cflags" \
      --disable-shared --enable-static --disable-frontend --disable-decoder &&
    make -s -j "$(nproc)" >/dev/null &&
    make -s install >/dev/null
}

mapfile -t missing < <(missing_arches lame)
[ ${#missing[@]} -eq 0 ] && installed lame && exit 0
install_packages dpkg-dev lame
[ ${#missing[@]} -eq 0 ] && exit 0
enable_sources lame
for arch in "${missing[@]}"; do
  cross_build lame "$arch" build_lame
done
