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
recipe() { echo "taglib $1-w64-mingw32 static, no zlib, no tracker modules, CXXFLAGS=$(cxxflags "$1")"; }

# We use TagLib under its MPL-1.1 option. Its tracker-module readers (IT,
# MOD, S3M, XM) are not all under it, and the generic file class would link
# them into every program that uses TagLib: that class forgets them here.
# ZEP reads its kinds of file without TagLib's resolver (fileref), which is
# the only other part that names them.
drop_tracker_modules() { # SOURCE
  sed -i -E '/(IT|Mod|S3M|XM)::|#include "(it|mod|s3m|xm)file\.h"/d' "$1/taglib/toolkit/tfile.cpp"
  ! grep -qE '(IT|Mod|S3M|XM)::' "$1/taglib/toolkit/tfile.cpp"
}

# ARCH SOURCE PREFIX
build_taglib() {
  # Debian's patch takes utf8-cpp from a host package as <utf8/...>; the
  # copy in the source tree is the same code, found under that name here.
  drop_tracker_modules "$2" &&
    mkdir -p "$2/zep-include" &&
    ln -s "$2/3rdparty/utf8-cpp" "$2/zep-include/utf8" &&
    cmake -S "$2" -B "$2/build" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/toolchain-$1-mingw.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="$(cxxflags "$1") -DNDEBUG" \
      -DCMAKE_CXX_FLAGS="-I$2/zep-include" -DCMAKE_INSTALL_PREFIX="$3" \
      -DBUILD_SHARED_LIBS=OFF -DBUILD_BINDINGS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
      -DWITH_ZLIB=OFF &&
    cmake --build "$2/build" -j "$(nproc)" &&
    cmake --install "$2/build"
}

mapfile -t missing < <(missing_arches taglib)
[ ${#missing[@]} -eq 0 ] && exit 0
install_packages dpkg-dev cmake
enable_sources taglib
for arch in "${missing[@]}"; do
  cross_build taglib "$arch" build_taglib
done
