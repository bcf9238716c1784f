#!/usr/bin/env bash
# The bench's 60-minute WAV to FLAC (level 5, verified while written) and to
# Opus (160 kbit/s) with ZEPc, against the host's flac -5 --verify and
# opusenc --bitrate 160 on the same file: the ratios, each the fastest of
# BENCH_CODEC_RUNS runs (default 2). The long input keeps the process
# start under Wine (about 0.4 s) out of the comparison.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-env.sh"
wav=$bench_inputs/zep_3600s.wav work=$ZEP_BUILD_DIR/bench-work/codecs
[ -f "$wav" ] || sox -n -r 44100 -b 16 -c 2 "$wav" synth 3600 sine 200-2000 sine 300-1200 \
  synth pinknoise mix gain -8
runs=${BENCH_CODEC_RUNS:-2}
rm -rf "$work" && mkdir -p "$work"
seconds() { # COMMAND...: the wall seconds it took
  local TIMEFORMAT='%R'
  { time "$@" >/dev/null 2>&1; } 2>&1 | tail -n 1
}
zepc() { wine "$ZEP_BUILD_DIR/dist/ZEPc.exe" "$(winpath "$wav")" -q "$@"; }
measure() {
  for _ in $(seq "$runs"); do
    echo "zep-flac $(seconds zepc -f flac --flac-level 5 -o "$(winpath "$work/zep.flac")")"
    echo "zep-opus $(seconds zepc -f opus --opus-bitrate 160 -o "$(winpath "$work/zep.opus")")"
  done
}
export -f measure seconds zepc winpath
export wav work runs ZEP_BUILD_DIR
{
  "$root/scripts/wine-session.sh" --own-display bash -c measure
  for _ in $(seq "$runs"); do
    echo "host-flac $(seconds flac -5 --verify -f -s -o "$work/host.flac" "$wav")"
    echo "host-opus $(seconds opusenc --quiet --bitrate 160 "$wav" "$work/host.opus")"
  done
} >"$work/results"
for f in zep.flac host.flac zep.opus host.opus; do
  length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/$f")
  awk -v d="$length" 'BEGIN { exit !(d > 3599.9 && d < 3600.1) }' ||
    { echo "bench: $f lasts $length s, not 3600" >&2; exit 1; }
done
awk -v runs="$runs" '
  { if (!($1 in best) || $2 < best[$1]) best[$1] = $2 }
  END {
    flac = best["zep-flac"] / best["host-flac"]; opus = best["zep-opus"] / best["host-opus"]
    printf "60 min WAV to FLAC level 5, verified: ZEPc %.2f s, host flac -5 --verify %.2f s, ratio %.2f (target <= 1.10: %s)\n", best["zep-flac"], best["host-flac"], flac, flac <= 1.10 ? "met" : "NOT met"
    printf "60 min WAV to Opus 160 kbit/s: ZEPc %.2f s, host opusenc --bitrate 160 %.2f s, ratio %.2f (target <= 1.10: %s)\n", best["zep-opus"], best["host-opus"], opus, opus <= 1.10 ? "met" : "NOT met"
    printf "(the fastest of %d runs each)\n", runs
  }' "$work/results"
