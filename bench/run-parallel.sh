#!/usr/bin/env bash
# A folder of 8 one-minute WAV files to mp3 with ZEPc, one file at a time
# and one per processor: the wall time, the speed-up, and the processor use
# (the process's CPU time over wall time times processors). Under Wine the
# server does for the process what the kernel does on Windows; its share is
# printed beside. Then the commonest batch against the peers: 8 one-minute
# FLAC files to mp3 at 192 kbit/s, ZEPc -j N against the host's ffmpeg and
# `flac -d | lame`, N at a time (xargs -P). Each runs BENCH_RUNS times
# (default 3); the fastest run of each counts, as in bench/run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-env.sh"
folder=$bench_inputs/batch8 work=$ZEP_BUILD_DIR/bench-work/parallel
if [ ! -f "$folder/8.wav" ]; then
  mkdir -p "$folder"
  for n in 1 2 3 4 5 6 7 8; do
    sox -n -r 44100 -b 16 -c 2 "$folder/$n.wav" synth 60 sine $((200 * n))-2000 sine 300 gain -6
  done
fi
flacs=$bench_inputs/batch8-flac
if [ ! -f "$flacs/8.flac" ]; then
  mkdir -p "$flacs"
  for n in 1 2 3 4 5 6 7 8; do flac -s -o "$flacs/$n.flac" "$folder/$n.wav"; done
fi
jobs=$(nproc) runs=${BENCH_RUNS:-3}
server_seconds() { # the CPU time the Wine server has used so far
  awk -v tick="$(getconf CLK_TCK)" '{ print ($14 + $15) / tick }' \
    "/proc/$(pgrep -x 'wineserver(64)?' | head -n 1)/stat"
}
measure() { # JOBS: "wall user system server" seconds of one run over a fresh copy of the folder
  rm -rf "$work" && mkdir -p "$work" && cp "$folder"/*.wav "$work/"
  local TIMEFORMAT='%R %U %S' before times
  before=$(server_seconds)
  times=$({ time wine "$ZEP_BUILD_DIR/dist/ZEPc.exe" "$(winpath "$work")" -f mp3 -j "$1" -q \
      >/dev/null 2>&1; } 2>&1 | tail -n 1)
  echo "$times $(awk -v a="$before" -v b="$(server_seconds)" 'BEGIN { print b - a }')"
}
export -f measure winpath server_seconds
export folder work ZEP_BUILD_DIR
"$root/scripts/wine-session.sh" --own-display bash -c \
  "for run in \$(seq $runs); do echo \"\$(measure 1)\"; echo \"\$(measure $jobs)\"; done" |
  awk -v n="$jobs" '
    NR % 2 == 1 && (w1 == "" || $1 < w1) { w1 = $1; c1 = $2 + $3; s1 = $4 }
    NR % 2 == 0 && (wn == "" || $1 < wn) { wn = $1; cn = $2 + $3; sn = $4 }
    END {
      printf "8 files of 60 s, WAV to mp3 with ZEPc: -j 1 %.2f s (processor use %.0f %%, Wine server %.0f %%); ", w1, 100 * c1 / (w1 * n), 100 * s1 / (w1 * n)
      printf "-j %d %.2f s (processor use %.0f %%, Wine server %.0f %%); speed-up %.2f\n", n, wn, 100 * cn / (wn * n), 100 * sn / (wn * n), w1 / wn
    }'

# The FLAC batch, on the host's wall clock: ZEPc (in a Wine session of its
# own, already running), ffmpeg, and flac piped into lame.
flac_zepc() {
  rm -rf "$work" && mkdir -p "$work" && cp "$flacs"/*.flac "$work/"
  local start; start=$(date +%s.%N)
  wine "$ZEP_BUILD_DIR/dist/ZEPc.exe" "$(winpath "$work")" -f mp3 --bitrate 192 -j "$jobs" -q >/dev/null 2>&1
  awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "zepc %.3f\n", e - s }'
}
flac_peer() { # NAME COMMAND-FOR-ONE-FILE ($1 of the command: the file)
  rm -rf "$work" && mkdir -p "$work"
  local start; start=$(date +%s.%N)
  printf '%s\n' "$flacs"/*.flac | xargs -P "$jobs" -I{} bash -c "$2" _ {} >/dev/null 2>&1
  awk -v s="$start" -v e="$(date +%s.%N)" -v n="$1" 'BEGIN { printf "%s %.3f\n", n, e - s }'
}
export -f flac_zepc
export flacs jobs
{
  "$root/scripts/wine-session.sh" --own-display bash -c "for run in \$(seq $runs); do flac_zepc; done"
  for _ in $(seq "$runs"); do
    flac_peer ffmpeg 'ffmpeg -nostdin -v error -y -i "$1" -c:a libmp3lame -b:a 192k "$work/$(basename "$1" .flac).mp3"'
    flac_peer pipe 'flac -s -d -c "$1" | lame --quiet -b 192 - "$work/$(basename "$1" .flac).mp3"'
  done
} | awk -v n="$jobs" '
  (!($1 in best)) || $2 < best[$1] { best[$1] = $2 }
  END {
    printf "8 FLAC files of 60 s to mp3 at 192 kbit/s, %d at a time: ZEPc %.2f s, ffmpeg %.2f s, flac | lame %.2f s; ZEPc / ffmpeg %.2f (goal <= 1.05), ZEPc / pipe %.2f (goal <= 1.25)\n", n, best["zepc"], best["ffmpeg"], best["pipe"], best["zepc"] / best["ffmpeg"], best["zepc"] / best["pipe"]
  }'
