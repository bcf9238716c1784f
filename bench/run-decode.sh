#!/usr/bin/env bash
# Decode speed: a few minutes of WAV, MP3 and FLAC through the conversion's
# decoder, as seconds of audio per second of wall time.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-env.sh"
inputs=$bench_inputs
if [ ! -f "$inputs/bench_180s.flac" ]; then
  sox -n -r 44100 -b 16 -c 2 "$inputs/bench_180s.wav" synth 180 sine 200-2000 sine 300 gain -6
  ffmpeg -nostdin -loglevel error -y -i "$inputs/bench_180s.wav" -c:a libmp3lame -b:a 128k "$inputs/bench_180s.mp3"
  ffmpeg -nostdin -loglevel error -y -i "$inputs/bench_180s.wav" -c:a flac "$inputs/bench_180s.flac"
fi
"$root/scripts/wine-session.sh" --own-display wine "$ZEP_BUILD_DIR/bench/decode_bench.exe" \
  "$(winpath "$inputs/bench_180s.wav")" "$(winpath "$inputs/bench_180s.mp3")" \
  "$(winpath "$inputs/bench_180s.flac")"
