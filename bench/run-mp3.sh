#!/usr/bin/env bash
# MP3 encoding speed: our gogo.dll under Wine against the host's lame on the
# same 180 s of 44.1 kHz stereo PCM, both at 128 kbit/s CBR joint stereo with
# LAME's default quality. Prints both times and their ratio (ours / lame).
# Ours is the encoding inside the bench program (Wine's start-up left out);
# lame's is the whole command, reading the WAVE file included.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-env.sh"
inputs=$bench_inputs
wav="$inputs/mp3_bench_180s.wav"
[ -f "$wav" ] || sox -n -r 44100 -b 16 -c 2 "$wav" synth 180 sine 200-2000 sine 300 pinknoise gain -8

best() { sort -n | head -n 1; } # the fastest of three runs
ours=$(for _ in 1 2 3; do
  "$root/scripts/wine-session.sh" wine "$ZEP_BUILD_DIR/bench/mp3_bench.exe" \
    "$(winpath "$wav")" "$(winpath "$inputs/mp3_bench_gogo.mp3")" 128 | tr -d '\r'
done | best)
theirs=$(for _ in 1 2 3; do
  start=$(date +%s.%N)
  lame --quiet -b 128 -m j "$wav" "$inputs/mp3_bench_lame.mp3"
  awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { print e - s }'
done | best)
awk -v o="$ours" -v t="$theirs" 'BEGIN {
  printf "mp3 encode, 180 s of 44.1 kHz stereo at 128 kbit/s:\n"
  printf "  gogo.dll (%s, Wine) %.2f s, %.0fx real time\n", ENVIRON["ZEP_ARCH"], o, 180 / o
  printf "  host lame           %.2f s, %.0fx real time\n", t, 180 / t
  printf "  ratio gogo.dll / lame: %.2f\n", o / t
}'
