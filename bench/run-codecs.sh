#!/usr/bin/env bash
# The bench's 60-minute WAV to FLAC (level 5, verified while written, and
# not), a 24-bit 96 kHz hour to FLAC, and the 60-minute WAV to Opus
# (160 kbit/s) with ZEPc, against the host's flac -5 (--verify) and opusenc
# --bitrate 160 on the same files: the ratios, each the fastest of
# BENCH_CODEC_RUNS runs (default 2). The long input keeps the process
# start under Wine (about 0.4 s) out of the comparison.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-env.sh"
wav=$bench_inputs/zep_3600s.wav work=$ZEP_BUILD_DIR/bench-work/codecs
[ -f "$wav" ] || sox -n -r 44100 -b 16 -c 2 "$wav" synth 3600 sine 200-2000 sine 300-1200 \
  synth pinknoise mix gain -8
hires=$bench_inputs/zep_3600s_24bit_96k.wav
[ -f "$hires" ] || sox -n -r 96000 -b 24 -c 2 "$hires" synth 3600 sine 200-2000 sine 300-1200 \
  synth pinknoise mix gain -8
runs=${BENCH_CODEC_RUNS:-2}
rm -rf "$work" && mkdir -p "$work"
seconds() { # COMMAND...: the wall seconds it took
  local TIMEFORMAT='%R'
  { time "$@" >/dev/null 2>&1; } 2>&1 | tail -n 1
}
zepc() { wine "$ZEP_BUILD_DIR/dist/ZEPc.exe" "$(winpath "${input:-$wav}")" -q "$@"; }
measure() {
  for _ in $(seq "$runs"); do
    echo "zep-flac $(seconds zepc -f flac --flac-level 5 -o "$(winpath "$work/zep.flac")")"
    echo "zep-flac-fast $(seconds zepc -f flac --flac-level 5 --no-verify -o "$(winpath "$work/zep-fast.flac")")"
    echo "zep-hires $(input=$hires seconds zepc -f flac --flac-level 5 -o "$(winpath "$work/zep-hires.flac")")"
    echo "zep-opus $(seconds zepc -f opus --opus-bitrate 160 -o "$(winpath "$work/zep.opus")")"
  done
}
export -f measure seconds zepc winpath
export wav hires work runs ZEP_BUILD_DIR
{
  "$root/scripts/wine-session.sh" --own-display bash -c measure
  for _ in $(seq "$runs"); do
    echo "host-flac $(seconds flac -5 --verify -f -s -o "$work/host.flac" "$wav")"
    echo "host-flac-fast $(seconds flac -5 -f -s -o "$work/host-fast.flac" "$wav")"
    echo "host-hires $(seconds flac -5 --verify -f -s -o "$work/host-hires.flac" "$hires")"
    echo "host-opus $(seconds opusenc --quiet --bitrate 160 "$wav" "$work/host.opus")"
  done
} >"$work/results"
for f in zep.flac zep-fast.flac zep-hires.flac host.flac zep.opus host.opus; do
  length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/$f")
  awk -v d="$length" 'BEGIN { exit !(d > 3599.9 && d < 3600.1) }' ||
    { echo "bench: $f lasts $length s, not 3600" >&2; exit 1; }
done
awk -v runs="$runs" '
  { if (!($1 in best) || $2 < best[$1]) best[$1] = $2 }
  END {
    flac = best["zep-flac"] / best["host-flac"]; opus = best["zep-opus"] / best["host-opus"]
    fast = best["zep-flac-fast"] / best["host-flac-fast"]; hires = best["zep-hires"] / best["host-hires"]
    printf "60 min WAV to FLAC level 5, verified: ZEPc %.2f s, host flac -5 --verify %.2f s, ratio %.2f (target <= 0.90: %s)\n", best["zep-flac"], best["host-flac"], flac, flac <= 0.90 ? "met" : "NOT met"
    printf "  not verified: ZEPc --no-verify %.2f s, host flac -5 %.2f s, ratio %.2f\n", best["zep-flac-fast"], best["host-flac-fast"], fast
    printf "60 min 24-bit 96 kHz to FLAC level 5, verified: ZEPc %.2f s, host %.2f s, ratio %.2f (target <= 0.90: %s)\n", best["zep-hires"], best["host-hires"], hires, hires <= 0.90 ? "met" : "NOT met"
    printf "60 min WAV to Opus 160 kbit/s: ZEPc %.2f s, host opusenc --bitrate 160 %.2f s, ratio %.2f (target <= 1.10: %s)\n", best["zep-opus"], best["host-opus"], opus, opus <= 1.10 ? "met" : "NOT met"
    printf "(the fastest of %d runs each)\n", runs
  }' "$work/results"
