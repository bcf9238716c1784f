#!/usr/bin/env bash
# Usage: make-installs.sh DIST OUTDIR
# ZEP installed as a user would have it, four times: complete, without the
# resource library, without the MP3 library and with a damaged one. Each
# keeps its settings in a registry branch of the tests' own (Setting.ini).
set -euo pipefail
dist=$1 out=$2
rm -rf "$out"
for variant in full no-res no-gogo broken-gogo; do
  mkdir -p "$out/$variant"
  cp "$dist"/ZEP.exe "$dist"/Res.dll "$dist"/gogo.dll "$dist"/Jotter.exe "$dist"/zep.chm "$out/$variant/"
  printf '[SAVE]\r\nRegPos=ZEPAcceptance\r\n' >"$out/$variant/Setting.ini"
done
rm "$out/no-res/Res.dll" "$out/no-gogo/gogo.dll"
head -c 50000 /dev/urandom >"$out/broken-gogo/gogo.dll"
