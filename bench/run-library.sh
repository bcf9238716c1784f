#!/usr/bin/env bash
# A rerun over an unchanged library: a tree of 1,000 small tagged FLAC files
# (50 folders of 20) converted once to FLAC named from the tags, then again
# with --skip-existing, which must read every tag and convert nothing. The
# figure is the rerun's time per file beyond ZEPc's start (ZEPc over an
# empty folder), the fastest of BENCH_LIBRARY_RUNS runs (default 3).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-env.sh"
runs=${BENCH_LIBRARY_RUNS:-3} files=1000 per_folder=20
work=$ZEP_BUILD_DIR/bench-work/library
tree=$work/tree out=$work/out
rm -rf "$work" && mkdir -p "$tree" "$work/empty"
sox -n -r 44100 -b 16 -c 2 "$work/one.wav" synth 0.05 sine 440 gain -6
ffmpeg -nostdin -v error -i "$work/one.wav" -metadata artist=Bench -metadata album=Tree \
  -metadata title=Tone "$work/one.flac"
for n in $(seq 0 $((files - 1))); do
  folder=$tree/album$((n / per_folder))
  mkdir -p "$folder"
  cp "$work/one.flac" "$folder/track$n.flac"
done
zepc() { wine "$ZEP_BUILD_DIR/dist/ZEPc.exe" "$@" -q; }
seconds() { # COMMAND...: the wall seconds it took
  local TIMEFORMAT='%R'
  { time "$@" >/dev/null 2>&1; } 2>&1 | tail -n 1
}
pattern='<artist>\<folder>\<filename>'
export -f zepc seconds winpath
export ZEP_BUILD_DIR tree out work pattern runs
"$root/scripts/wine-session.sh" --own-display bash -c '
  zepc "$(winpath "$tree")" -r -f flac -o "$(winpath "$out")" --name "$pattern" >"$work/first" || true
  for _ in $(seq "$runs"); do
    echo "start $(seconds zepc "$(winpath "$work/empty")" -f flac)"
    echo "rerun $(seconds zepc "$(winpath "$tree")" -r -f flac -o "$(winpath "$out")" --name "$pattern" --skip-existing)"
  done' >"$work/results"
made=$(find "$out" -name '*.flac' | wc -l)
[ "$made" = "$files" ] || { echo "bench: the first run made $made of $files outputs" >&2; exit 1; }
awk -v files="$files" '
  { if (!($1 in best) || $2 < best[$1]) best[$1] = $2 }
  END {
    per = (best["rerun"] - best["start"]) / files
    printf "skip rerun over %d files: %.2f s, ZEPc start %.2f s, %.4f s per file (target <= 0.01: %s)\n", files, best["rerun"], best["start"], per, per <= 0.01 ? "met" : "NOT met"
  }' "$work/results"
