#!/usr/bin/env bash
# Usage: make-installs.sh DIST OUTDIR
# ZEP installed as a user would have it, four times for each language's run:
# complete, without the resource library, without the MP3 library and with a
# damaged one. Each language's installations keep their settings in a
# registry branch of their own (Setting.ini), so that the runs can go side by side.
set -euo pipefail
dist=$1 out=$2
rm -rf "$out"
for language in en ja; do
  for variant in full no-res no-gogo broken-gogo; do
    folder=$out/$language/$variant
    mkdir -p "$folder"
    cp "$dist"/ZEP.exe "$dist"/ZEPc.exe "$dist"/Res.dll "$dist"/gogo.dll "$dist"/Jotter.exe "$dist"/zep.chm "$folder/"
    printf '[SAVE]\r\nRegPos=ZEPAcceptance-%s\r\n' "$language" >"$folder/Setting.ini"
  done
  rm "$out/$language/no-res/Res.dll" "$out/$language/no-gogo/gogo.dll"
  head -c 50000 /dev/urandom >"$out/$language/broken-gogo/gogo.dll"
done
