#!/usr/bin/env bash
# Usage: check-cli.sh DIST WORK
# ZEPc.exe from a copy of the distribution with settings of its own: each
# output from a WAV and an MP3 input, a codec chosen by name, a folder
# holding a damaged file, the usage mistakes, and the saved settings, which
# options use but never change.
# Runs inside the test session (wine); the host reads every output.
set -uo pipefail
dist=$1 work=$2
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/../../scripts/wine-env.sh"
source "$here/../support/host-checks.sh"

install=$work/install media=$work/media
rm -rf "$work" && mkdir -p "$install" "$media/folder"
cp "$dist"/{ZEPc.exe,Res.dll,gogo.dll} "$install/"
printf '[SAVE]\r\nRegPos=ZEPCliTest\r\n' >"$install/Setting.ini"
settings='HKCU\Software\ZEPCliTest\ZEP\DATA'
wine reg delete 'HKCU\Software\ZEPCliTest' /f >/dev/null 2>&1

sox -n -r 44100 -b 16 -c 2 "$media/tone.wav" synth 2 sine 440 gain -6
ffmpeg -nostdin -v error -i "$media/tone.wav" -c:a libmp3lame -b:a 128k "$media/tone.mp3"
cp "$media/tone.wav" "$media/folder/a.wav"
echo "not audio at all" >"$media/folder/b.wav"
cp "$media/tone.mp3" "$media/folder/c.mp3"

winpath() { echo "Z:${1//\//\\}"; }
# zepc ARGS...: runs ZEPc; its exit status in rc, its standard error (less
# Wine's own messages) in err.
zepc() {
  timeout 120 wine "$install/ZEPc.exe" "$@" </dev/null >/dev/null 2>"$work/stderr"
  rc=$?
  err=$(grep -v -e '^ALSA' -e 'GStreamer-CRITICAL' -e '^$' -e '^fixme:' -e '^err:' "$work/stderr")
}
# Exit codes reach Linux as the low byte of the error number.
expect_rc() { [ "$rc" = $(($1 & 255)) ] && pass || fail "$2: exit code $rc, not $1 (& 255)"; }

# Each output from each input, named by -o and beside the input. The WAV
# keeps what the decoder gives: an mp3 decodes to floats.
for input in tone.wav tone.mp3; do
  zepc "$(winpath "$media/$input")" -f wav -o "$(winpath "$work/${input%.*}-pcm.wav")" -q
  expect_rc 0 "$input to wav"
  pcm=pcm_s16le && [ "$input" = tone.mp3 ] && pcm=pcm_f32le
  expect "$work/${input%.*}-pcm.wav" $pcm wav 44100 2 1.98 2.06
  zepc "$(winpath "$media/$input")" -f l3wav -o "$(winpath "$work/${input%.*}-l3.wav")" -q
  expect_rc 0 "$input to l3wav"
  expect "$work/${input%.*}-l3.wav" mp3 wav - 2 1.95 2.15
  zepc "$(winpath "$media/$input")" -f mp3 -o "$(winpath "$work/${input%.*}-out.mp3")" -q
  expect_rc 0 "$input to mp3"
  expect "$work/${input%.*}-out.mp3" mp3 mp3 - 2 1.95 2.15
  zepc "$(winpath "$media/$input")" -f flac -o "$(winpath "$work/${input%.*}-out.flac")" -q
  expect_rc 0 "$input to flac"
  expect "$work/${input%.*}-out.flac" flac flac 44100 2 1.98 2.06
  zepc "$(winpath "$media/$input")" -f opus -o "$(winpath "$work/${input%.*}-out.opus")" -q
  expect_rc 0 "$input to opus"
  expect "$work/${input%.*}-out.opus" opus ogg 48000 2 1.98 2.06
done
# An input of no sample converts to every output: a file a decoder reads
# without error (no 0-byte file, no temporary left), and so does an Opus of
# a 48 kHz mono one, which libopusenc takes without resampling.
sox -n -r 44100 -b 16 -c 2 "$media/empty.wav" trim 0 0
sox -n -r 48000 -b 16 -c 1 "$media/empty48.wav" trim 0 0
for case in empty:wav:wav empty:l3wav:wav empty:mp3:mp3 empty:flac:flac empty:opus:opus empty48:opus:opus; do
  IFS=: read -r input format extension <<<"$case"
  out="$work/$input-$format.$extension"
  zepc "$(winpath "$media/$input.wav")" -f "$format" -o "$(winpath "$out")" -q
  expect_rc 0 "$input.wav to $format"
  [ -s "$out" ] && decodes "$out" && pass || fail "$input.wav to $format: $(stat -c %s "$out" 2>&1)"
done
[ -z "$(ls "$work" | grep -i '~zep')" ] && pass || fail "an empty input left: $(ls "$work")"

# The codecs' formats by their names, and one of them chosen by name.
formats=$(wine "$install/ZEPc.exe" --list-formats 2>/dev/null | tr -d '\r')
for tag in PCM 'IMA ADPCM'; do
  grep -q "^$tag: 22050 Hz" <<<"$formats" && pass || fail "--list-formats has no $tag at 22050 Hz"
done
zepc "$(winpath "$media/tone.wav")" -f wav --acm 'IMA ADPCM' --rate 22050 --channels 1 \
  -o "$(winpath "$work/ima.wav")" -q
expect_rc 0 "IMA ADPCM by name"
expect "$work/ima.wav" adpcm_ima_wav wav 22050 1 1.95 2.1
# Wine has no Windows Media writer: its number, and nothing left behind.
zepc "$(winpath "$media/tone.wav")" -f wma -o "$(winpath "$work/tone.wma")"
expect_rc 3001 "wma under Wine"
[[ $err == *"Error No.3001"* ]] && pass || fail "wma: no numbered error in: $err"
[ ! -e "$work/tone.wma" ] && pass || fail "a failed wma job left its file"

# A folder: every good file converted under the batch's names, the damaged
# one reported with its path, and its number as the exit code.
zepc "$(winpath "$media/folder")" -f mp3 -q
expect_rc 915 "the folder with a damaged file"
[[ $err == *'b.wav'* && $err == *'Error No.0915'* ]] && pass || fail "folder: $err"
expect "$media/folder/a.mp3" mp3 mp3 - 2 1.95 2.15
expect "$media/folder/c_conv.mp3" mp3 mp3 - 2 1.95 2.15
[ ! -e "$media/folder/b.mp3" ] && pass || fail "an output was made of the damaged file"

# Several files at a time write what one at a time writes, byte for byte.
mkdir "$media/twenty"
for n in $(seq 10 29); do sox -D "$media/tone.wav" "$media/twenty/t$n.wav" speed "1.$n" trim 0 1; done
for format in wav mp3 flac opus; do
  for jobs in 1 2; do
    rm -rf "$work/$format$jobs" && cp -r "$media/twenty" "$work/$format$jobs"
    zepc "$(winpath "$work/$format$jobs")" -f $format -j $jobs -q
    expect_rc 0 "$format, -j $jobs"
  done
  for n in $(seq 10 29); do
    out=t$n.$format
    [ $format = wav ] && out=t${n}_conv.wav
    [ -s "$work/${format}2/$out" ] && cmp -s "$work/${format}1/$out" "$work/${format}2/$out" &&
      pass || fail "$format: $out differs with two at a time"
  done
done

# Without gogo.dll an MP3 output says so on standard error, never in a box
# (which would hold a script until someone closes it), and only once.
mv "$install/gogo.dll" "$work/gogo.dll.away"
zepc "$(winpath "$media/tone.wav")" -f mp3 -o "$(winpath "$work/nolib.mp3")"
expect_rc 3 "no gogo.dll"
[[ $err == *"GOGO.DLL"* ]] && pass || fail "no gogo.dll: $err"
[ ! -e "$work/nolib.mp3" ] && pass || fail "no gogo.dll: a file was left"
zepc "$(winpath "$work/wav1")" -f mp3 -q
[ "$(grep -c GOGO.DLL <<<"$err")" = 1 ] && pass || fail "no gogo.dll, a folder: $err"
mv "$work/gogo.dll.away" "$install/gogo.dll"

# Two runs over one folder at the same time: neither replaces the other's
# outputs; the later one moves on to the next free names.
rm -rf "$work/both" && mkdir "$work/both"
for n in 1 2 3; do sox -n -r 44100 -b 16 -c 2 "$work/both/t$n.wav" synth 60 sine 300 gain -6; done
wine "$install/ZEPc.exe" "$(winpath "$work/both")" -f mp3 --bitrate 128 -q 2>/dev/null &
first=$!
zepc "$(winpath "$work/both")" -f mp3 --bitrate 320 -q
wait $first
for rate in 128000 320000; do
  [ "$(for f in "$work"/both/*.mp3; do ffprobe -v error -show_entries format=bit_rate -of csv=p=0 "$f"; done |
       awk -v r=$rate '$1 > r * 0.9 && $1 < r * 1.1' | wc -l)" = 3 ] && pass ||
    fail "two runs at once: not three outputs at $rate: $(ls "$work/both")"
done
# A temporary file left in a folder is never an input.
cp "$media/tone.wav" "$work/both/~zep1a-2b-0.tmp"
zepc "$(winpath "$work/both")" -f wav -q
ls "$work/both" | grep -qi '^~zep.*\.wav$' && fail "a temporary file was converted" || pass
mkdir "$work/empty"
zepc "$(winpath "$work/empty")" -f mp3
[ "$rc" = 0 ] && [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] && pass || fail "an empty folder: $rc $err"

# Interrupted (Ctrl+C reaches a program under Wine as SIGINT): no output
# put in place, an existing one untouched, no temporary file, the file
# named, and an exit code of its own; a folder's later files not started.
# Noise and 20 minutes: the mp3 on every core must still run when the
# interruption comes.
sox -n -r 44100 -b 16 -c 2 "$work/long.wav" synth 1200 pinknoise gain -6
for format in mp3 opus; do
  echo "the user's file" >"$work/kept.$format"
  rm -rf "$work/three" && mkdir "$work/three" && cp "$work/long.wav" "$work/three/a.wav" &&
    cp "$work/long.wav" "$work/three/b.wav"
  for target in "$(winpath "$work/long.wav") -o $(winpath "$work/kept.$format")" "$(winpath "$work/three") -j 1"; do
    # shellcheck disable=SC2086
    wine "$install/ZEPc.exe" $target -f $format -q </dev/null >/dev/null 2>"$work/stderr" &
    running=$!
    sleep 3 && kill -INT $running
    wait $running
    rc=$?
    expect_rc 130 "interrupted: $target"
    grep -q 'Interrupted.*long.wav\|Interrupted.*a.wav' "$work/stderr" && pass || fail "interrupted: $(cat "$work/stderr")"
  done
  [ "$(cat "$work/kept.$format")" = "the user's file" ] && pass || fail "an interrupted run replaced the $format"
  [ -z "$(ls "$work" "$work/three" | grep -i -e '~zep' -e "^long.$format" -e "^[ab].$format")" ] && pass ||
    fail "an interrupted run left: $(ls "$work" "$work/three")"
done

# A full disk (files limited in size, as with-file-size-limit.sh does): the
# write failure's number, and nothing left behind.
for format in flac opus; do
  bash "$here/../pcm/with-file-size-limit.sh" 256 wine "$install/ZEPc.exe" "$(winpath "$work/long.wav")" \
    -f $format -o "$(winpath "$work/full.$format")" -q </dev/null >/dev/null 2>&1
  rc=$?
  expect_rc 901 "$format on a full disk"
  [ -z "$(ls "$work" | grep -i -e '~zep' -e "^full")" ] && pass || fail "a full disk left: $(ls "$work")"
done

# Usage mistakes: exit code 2, one line, nothing written.
before=$(ls -R "$work" | md5sum)
while IFS='|' read -r name args; do
  eval "set -- $args"
  zepc "$@"
  expect_rc 2 "$name"
  [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] && pass || fail "$name: not one line: $err"
done <<LIST
no input|-f mp3
no format|'$(winpath "$media/tone.wav")'
unknown format|'$(winpath "$media/tone.wav")' -f ogg
unknown option|'$(winpath "$media/tone.wav")' -f mp3 --bogus
missing value|'$(winpath "$media/tone.wav")' -f
bad number|'$(winpath "$media/tone.wav")' -f mp3 --volume loud
missing input|'$(winpath "$media/none.wav")' -f mp3
two inputs|'$(winpath "$media/tone.wav")' '$(winpath "$media/tone.mp3")' -f mp3
folder into a file|'$(winpath "$media/folder")' -f mp3 -o '$(winpath "$media/tone.wav")'
folder choices for a file|'$(winpath "$media/tone.wav")' -f mp3 -r
skip and update|'$(winpath "$media/folder")' -f mp3 --skip-existing --update
-j with a file|'$(winpath "$media/tone.wav")' -f mp3 -j 2
two passes without a profile file|'$(winpath "$media/tone.wav")' -f wma --two-pass
codec for mp3|'$(winpath "$media/tone.wav")' -f mp3 --acm PCM
no such format|'$(winpath "$media/tone.wav")' -f wav --acm 'IMA ADPCM' --rate 12345
FLAC level for mp3|'$(winpath "$media/tone.wav")' -f mp3 --flac-level 5
FLAC level out of range|'$(winpath "$media/tone.wav")' -f flac --flac-level 9
Opus rate for flac|'$(winpath "$media/tone.wav")' -f flac --opus-bitrate 96
unknown Opus mode|'$(winpath "$media/tone.wav")' -f opus --opus-mode abr
threads for a folder|'$(winpath "$media/folder")' -f mp3 --threads 2
threads for flac|'$(winpath "$media/tone.wav")' -f flac --threads 2
LIST
[ "$(ls -R "$work" | md5sum)" = "$before" ] && pass || fail "a usage mistake wrote a file"
zepc --help
expect_rc 0 "--help"
# The version is the CMake project's.
version=$(sed -n 's/^project(ZEP VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
said=$(timeout 60 wine "$install/ZEPc.exe" --version </dev/null 2>/dev/null | tr -d '\r')
[ -n "$version" ] && [ "$said" = "ZEPc $version" ] && pass || fail "--version said '$said', not ZEPc $version"
# "--" ends the options: an input may start with "-". A codec named alone
# takes the input's rate and channels, and 16 bits.
cp "$media/tone.wav" "$work/-dash.wav"
(cd "$work" && zepc -f wav --acm PCM -q -- -dash.wav)
expect_rc 0 "an input after --"
expect "$work/-dash_conv.wav" pcm_s16le wav 44100 2 1.98 2.06

# The saved volume applies when none is given, an option overrides it, and
# the settings stay as they were.
wine reg add "$settings" /v VOL /t REG_DWORD /d 50 /f >/dev/null 2>&1
saved=$(wine reg query "$settings" 2>/dev/null | tr -d '\r')
zepc "$(winpath "$media/tone.wav")" -f wav -o "$(winpath "$work/saved50.wav")" -q
zepc "$(winpath "$media/tone.wav")" -f wav -o "$(winpath "$work/given25.wav")" --volume 25 \
  --bitrate 96 --mode mono -q
source_rms=$(rms "$media/tone.wav")
for case in saved50:0.5 given25:0.25; do
  ratio=$(awk -v a="$(rms "$work/${case%:*}.wav")" -v b="$source_rms" 'BEGIN { print a / b }')
  between "$ratio" "$(awk -v r="${case#*:}" 'BEGIN { print r * 0.98 }')" \
    "$(awk -v r="${case#*:}" 'BEGIN { print r * 1.02 }')" && pass || fail "${case%:*}: level $ratio"
done
[ "$(wine reg query "$settings" 2>/dev/null | tr -d '\r')" = "$saved" ] && pass ||
  fail "the saved settings changed"
wine reg delete 'HKCU\Software\ZEPCliTest' /f >/dev/null 2>&1

echo "command line: $checks passed, $failures failed"
[ $failures = 0 ]
