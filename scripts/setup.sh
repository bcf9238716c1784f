#!/usr/bin/env bash
# Installs whatever the build and the tests need and is not there yet.
# Idempotent: when everything is installed it only checks and returns.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-i686 mingw-w64-tools
  wine wine32:i386 wine64
  xvfb x11-apps x11-utils imagemagick
  googletest
  sox ffmpeg python3-mutagen
  nsis zip unzip
  flac opus-tools mp3val
  fonts-ipafont-gothic locales
  fp-utils-3.2.2
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-libav:i386
)

# Where 32-bit code cannot run, the 64-bit variant is built and tested.
native=$(dpkg --print-architecture)
fallback_packages=(
  g++-mingw-w64-x86-64
  "gstreamer1.0-plugins-base:$native" "gstreamer1.0-plugins-good:$native"
  "gstreamer1.0-libav:$native"
)

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: run as root (it installs packages with apt-get)" >&2
  exit 1
fi

dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386

# Installs those of the named packages that are not installed yet.
install_missing() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing "${packages[@]}"
source "$(dirname "${BASH_SOURCE[0]}")/arch.sh"
if [ "$ZEP_ARCH" = x86_64 ]; then
  echo "setup: this machine runs no 32-bit code: the x86_64 variant is built and tested"
  install_missing "${fallback_packages[@]}"
fi

# The English and Japanese systems the tests run as. Without the locales
# Wine reads file names as ASCII and Japanese names are lost.
wanted_locales=(en_US.UTF-8 ja_JP.UTF-8)
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' || ! locale -a 2>/dev/null | grep -qix 'en_US.utf8'; then
  echo "setup: generating the locales ${wanted_locales[*]}"
  for l in "${wanted_locales[@]}"; do
    grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" >>/etc/locale.gen
  done
  locale-gen >/dev/null
fi

# LAME for gogo.dll, cross-built once and cached.
bash "$(dirname "${BASH_SOURCE[0]}")/setup-lame.sh"
# TagLib for reading and writing tags, cross-built once and cached.
bash "$(dirname "${BASH_SOURCE[0]}")/setup-taglib.sh"
# The FLAC and Opus codecs (libogg, libFLAC, libopus, libopusenc), cross-built once and cached.
bash "$(dirname "${BASH_SOURCE[0]}")/setup-codecs.sh"
# FFmpeg's audio decoding for the built-in decoder, cross-built once and cached.
bash "$(dirname "${BASH_SOURCE[0]}")/setup-ffmpeg.sh"
