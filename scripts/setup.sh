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
  sox ffmpeg
  fonts-ipafont-gothic
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-libav:i386
)

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: run as root (it installs packages with apt-get)" >&2
  exit 1
fi

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [ $need_update -eq 1 ] || [ ${#missing[@]} -gt 0 ]; then
    apt-get update -qq
  fi
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
