#!/usr/bin/env bash
# Cross-builds FFmpeg's audio decoding (libavformat, libavcodec,
# libswresample, libavutil) from Debian's source package as static
# libraries for Windows, once: the built-in decoder links them. The next
# release's package (7.1; bookworm has 5.1) has the newer decoders; its
# source entries are derived from the machine's own. An LGPL build: nothing
# GPL or non-free, no external library, only the demuxers, decoders and
# parsers of the audio formats ZEP opens itself, with the assembly (nasm)
# chosen at run time. Always for i686, and for x86_64 too where that
# fallback is built; cached in /var/cache/zep/ffmpeg-ARCH.
# Idempotent: with the cache in place it only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/arch.sh"
source "$here/debian-source.sh"

suite=trixie
demuxers=wav,w64,aiff,caf,au,flac,ogg,mov,mp3,wv,ape,tta,asf,xwma,ac3,eac3,dts,matroska,aac,loas
decoders=pcm_s16le,pcm_s16be,pcm_s24le,pcm_s24be,pcm_s32le,pcm_s32be,pcm_f32le,pcm_f32be
decoders+=,pcm_f64le,pcm_f64be,pcm_u8,pcm_s8,pcm_alaw,pcm_mulaw,pcm_s24daud
decoders+=,adpcm_ima_wav,adpcm_ms,gsm_ms,mp1float,mp2float,mp3float
decoders+=,flac,vorbis,opus,aac,aac_latm,alac,wavpack,ape,tta
decoders+=,wmav1,wmav2,wmapro,wmalossless,ac3,eac3,dca,truehd,mlp
parsers=aac,aac_latm,ac3,dca,flac,mpegaudio,opus,vorbis,mlp

cflags() { if [ "$1" = i686 ]; then echo "-msse2 -mfpmath=sse"; fi; }

# ARCH SOURCE PREFIX
build_ffmpeg() {
  local arch=x86
  [ "$1" = x86_64 ] && arch=x86_64
  cd "$2" && ./configure --prefix="$3" --enable-cross-compile --target-os=mingw32 --arch=$arch \
    --cross-prefix="$1-w64-mingw32-" --cc="$1-w64-mingw32-gcc-posix" --extra-cflags="$(cflags "$1")" \
    --disable-everything --disable-autodetect --disable-programs --disable-doc \
    --disable-avdevice --disable-swscale --disable-avfilter --disable-network --disable-debug \
    --enable-static --disable-shared --enable-avcodec --enable-avformat --enable-swresample \
    --enable-w32threads --enable-x86asm --enable-demuxer=$demuxers --enable-decoder=$decoders \
    --enable-parser=$parsers &&
    grep -q '^#define CONFIG_GPL 0' config.h && grep -q '^#define CONFIG_NONFREE 0' config.h &&
    make -j "$(nproc)" && make install
}

recipe() {
  echo "ffmpeg/$suite $1-w64-mingw32 static, $(declare -f build_ffmpeg cflags | md5sum | cut -c1-12)," \
    "$demuxers; $decoders; $parsers"
}

mapfile -t missing < <(missing_arches ffmpeg)
[ ${#missing[@]} -eq 0 ] && exit 0
install_packages dpkg-dev nasm
enable_sources ffmpeg "$suite"
for arch in "${missing[@]}"; do
  cross_build ffmpeg "$arch" build_ffmpeg "ffmpeg/$suite"
done
