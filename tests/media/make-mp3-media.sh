#!/usr/bin/env bash
# Usage: make-mp3-media.sh OUTDIR
# Generates the PCM inputs of the MP3 encoding tests with the host's sox:
# rising and falling sweeps (left and right differ, so that swapped, shifted
# or lost audio shows in the decoded output). Runs once per build.
set -euo pipefail
out=$1
stamp="$out/.complete-v1"
[ -f "$stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out"
cd "$out"

sweeps="sine 300-3000 sine 2000-200 gain -6"
sox -n -r 44100 -b 16 -c 2 stereo44.wav synth 30 $sweeps
sox -n -r 44100 -b 16 -c 1 mono44.wav synth 30 sine 300-3000 gain -6
sox -n -r 22050 -b 16 -c 2 stereo22.wav synth 30 $sweeps
sox -n -r 48000 -b 16 -c 2 stereo48.wav synth 30 $sweeps
sox -n -r 96000 -b 24 -c 2 stereo96-24bit.wav synth 10 $sweeps
touch "$stamp"
