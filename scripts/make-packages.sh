#!/usr/bin/env bash
# Usage: make-packages.sh DIST OUT
# Packs a built distribution (build/dist) into OUT: the portable
# ZEP-<version>-win32.zip and the installer ZEP-<version>-setup.exe (NSIS).
# The version is the CMake project's.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dist=$1 out=$2
version=$(sed -n 's/^project(ZEP VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
stage=$out/ZEP-$version-win32
rm -rf "$out" && mkdir -p "$stage"
# Windows' editors want CR LF.
crlf() { sed 's/\r\?$/\r/' "$1" >"$2"; }
cp "$dist"/{ZEP.exe,ZEPc.exe,Jotter.exe,gogo.dll,Res.dll,zep.chm} "$stage/"
crlf "$dist/NOTICE.txt" "$stage/NOTICE.txt"
crlf "$root/LICENSE" "$stage/LICENSE.txt"
sed "s/@VERSION@/$version/" "$root/packaging/README.txt" | sed 's/\r\?$/\r/' >"$stage/README.txt"
(cd "$out" && zip -q -r -X "ZEP-$version-win32.zip" "ZEP-$version-win32")
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DDIST="$stage" \
  -DICON="$root/resources/ZEP.ico" -DOUTFILE="$out/ZEP-$version-setup.exe" "$root/packaging/ZEP.nsi"
