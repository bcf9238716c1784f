#!/usr/bin/env bash
# Cross-builds Debian's source packages of the FLAC and Opus codecs as
# static libraries for Windows, once: libFLAC (1.5, from the next release:
# it encodes one stream on several threads), libopus and libopusenc
# (which builds on libopus and writes its Ogg pages itself, so libogg is
# not needed). Always for i686 (the program users
# get), and for x86_64 too where that fallback is built. Each is cached
# outside the work tree in /var/cache/zep/PACKAGE-ARCH. SIMD code is built
# in, with the codecs' own detection of the processor at run time.
# Idempotent: with the caches in place it only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/arch.sh"
source "$here/debian-source.sh"

cflags() { if [ "$1" = i686 ]; then echo "-O2 -msse2 -mfpmath=sse"; else echo "-O2"; fi; }

# ARCH SOURCE PREFIX, for each package.
build_flac() {
  cmake -S "$2" -B "$2/zep-build" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/toolchain-$1-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$(cflags "$1") -DNDEBUG" \
    -DCMAKE_INSTALL_PREFIX="$3" -DBUILD_SHARED_LIBS=OFF -DBUILD_PROGRAMS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF -DBUILD_CXXLIBS=OFF \
    -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF &&
    cmake --build "$2/zep-build" -j "$(nproc)" && cmake --install "$2/zep-build"
}

# Its configure adds _FORTIFY_SOURCE unless it is defined already; MinGW's
# C library has no checked functions for it.
build_opus() {
  cd "$2" && ./configure -q --host="$1-w64-mingw32" --prefix="$3" CC="$1-w64-mingw32-gcc-posix" \
    CFLAGS="$(cflags "$1")" CPPFLAGS=-D_FORTIFY_SOURCE=0 --disable-shared --enable-static \
    --disable-doc --disable-extra-programs --disable-stack-protector &&
    make -j "$(nproc)" && make install
}

# The cached libopus is named directly: its pkg-config file names the
# folder it was built in.
build_libopusenc() {
  local opus=/var/cache/zep/opus-$1
  cd "$2" && ./configure -q --host="$1-w64-mingw32" --prefix="$3" CC="$1-w64-mingw32-gcc-posix" \
    CFLAGS="$(cflags "$1")" DEPS_CFLAGS="-I$opus/include/opus" DEPS_LIBS="-L$opus/lib -lopus" \
    --disable-shared --enable-static --disable-doc --disable-examples &&
    make -j "$(nproc)" && make install
}

install_packages dpkg-dev cmake pkg-config
# The release each package's source comes from; empty: the machine's own.
suite_of() { [ "$1" = flac ] && echo trixie || true; }
# libopusenc last: it is built against the cached libopus.
for package in flac opus libopusenc; do
  suite=$(suite_of "$package")
  # A changed build function builds the package again.
  recipe() {
    echo "$package${suite:+/$suite} $1-w64-mingw32 static, CFLAGS=$(cflags "$1"), $(declare -f "build_$package" | md5sum | cut -c1-12)"
  }
  mapfile -t missing < <(missing_arches "$package")
  [ ${#missing[@]} -eq 0 ] && continue
  enable_sources "$package" "$suite"
  for arch in "${missing[@]}"; do
    cross_build "$package" "$arch" "build_$package" "$package${suite:+/$suite}"
  done
done
