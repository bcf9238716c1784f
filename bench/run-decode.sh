#!/usr/bin/env bash
# Decode speed, measured in one run, as seconds of audio per second of wall
# time through ZEP's decoder interface (blocks and their conversion
# included): the built-in decoder beside the system's filters on three
# minutes of WAV, MP3, FLAC, AAC (M4A) and Opus; and the built-in decoder
# beside the host's `ffmpeg -i IN -f null -` on sixty minutes of WAV, FLAC
# and MP3. Each runs BENCH_RUNS times (default 3); the fastest counts.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-env.sh"
inputs=$bench_inputs runs=${BENCH_RUNS:-3}
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }
for length in 180 3600; do
  stem=$inputs/decode_${length}s
  [ -f "$stem.wav" ] ||
    sox -n -r 44100 -b 16 -c 2 "$stem.wav" synth $length sine 200-2000 sine 300-1200 synth pinknoise mix gain -8
  [ -f "$stem.flac" ] || ff -i "$stem.wav" -c:a flac "$stem.flac"
  [ -f "$stem.mp3" ] || ff -i "$stem.wav" -c:a libmp3lame -b:a 192k "$stem.mp3"
done
short=$inputs/decode_180s long=$inputs/decode_3600s
[ -f "$short.m4a" ] || ff -i "$short.wav" -c:a aac -b:a 192k "$short.m4a"
[ -f "$short.opus" ] || ff -i "$short.wav" -c:a libopus -b:a 160k "$short.opus"

# decoder FILE...: "KIND FILE seconds" lines, the fastest of the runs.
decode() {
  local kind=$1 file
  shift
  for _ in $(seq "$runs"); do
    for file in "$@"; do
      wine "$ZEP_BUILD_DIR/bench/decode_bench.exe" "$kind" "$(winpath "$file")" | tr -d '\r' |
        sed -n "s|.* in *\([0-9.]*\) s:.*|$kind ${file##*/} \1|p"
    done
  done
}
host() {
  local file start
  for _ in $(seq "$runs"); do
    for file in "$@"; do
      start=$(date +%s.%N)
      ffmpeg -nostdin -loglevel error -i "$file" -f null - </dev/null
      awk -v s="$start" -v e="$(date +%s.%N)" -v f="${file##*/}" 'BEGIN { printf "host %s %.3f\n", f, e - s }'
    done
  done
}
export -f decode winpath
export runs ZEP_BUILD_DIR
results=$("$root/scripts/wine-session.sh" --own-display bash -c "
  decode builtin $short.{wav,mp3,flac,m4a,opus} $long.{wav,flac,mp3}
  decode system $short.{wav,mp3,flac,m4a,opus}" 2> >(grep -v '^ALSA lib' >&2)
  host "$long".{wav,flac,mp3})
mkdir -p "$ZEP_BUILD_DIR/bench-work"
echo "$results" >"$ZEP_BUILD_DIR/bench-work/decode-results"
awk -v short=180 -v long=3600 '
  { key = $1 " " $2; if (!(key in best) || $3 < best[key]) best[key] = $3 }
  function x(kind, file, secs) { return secs / best[kind " " file] }
  END {
    split("wav mp3 flac m4a opus", kinds, " ")
    for (i = 1; i <= 5; i++) {
      f = "decode_" short "s." kinds[i]
      printf "%-5s %d s: built-in %6.0fx real time, system %6.0fx: built-in / system %.1f\n", kinds[i], short, x("builtin", f, short), x("system", f, short), best["system " f] / best["builtin " f]
    }
    split("wav flac mp3", kinds, " ")
    for (i = 1; i <= 3; i++) {
      f = "decode_" long "s." kinds[i]
      printf "%-5s %d min: built-in %.2f s, host ffmpeg -f null %.2f s: ratio %.2f (goal <= 1.10)\n", kinds[i], long / 60, best["builtin " f], best["host " f], best["builtin " f] / best["host " f]
    }
    print "goals: built-in / system >= 10 on WAV, >= 2 on MP3, >= 1 on FLAC"
  }' <<<"$results"
