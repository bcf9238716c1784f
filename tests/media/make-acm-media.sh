#!/usr/bin/env bash
# Usage: make-acm-media.sh OUTDIR
# Makes the inputs of the WAVE and ACM tests with the host's sox and ffmpeg,
# and empties OUTDIR/out, where the tests write the files the host checks
# afterwards (so that no file of an earlier run can pass for a new one).
# The inputs are made once per build tree.
set -euo pipefail
out=$1
rm -rf "$out/out"
mkdir -p "$out/out"
stamp="$out/.complete-v2"
[ -f "$stamp" ] && exit 0
cd "$out"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# 3 s of stereo at 44.1 kHz: a sweep on the left, a tone on the right, all
# under 3.5 kHz so that a conversion down to 8 kHz keeps them, and quiet
# enough that their sum (a mix down to mono adds the channels) does not clip.
sox -n -r 44100 -b 16 -c 2 in-44100-2.wav synth 3 sine 200-3000 sine 440 gain -9
sox in-44100-2.wav -t raw -e signed -b 16 -L in-44100-2.raw

# Compressed files made by the host, with the host's own decode of each.
ff -i in-44100-2.wav -c:a adpcm_ima_wav host-ima.wav
ff -i host-ima.wav -f s16le -c:a pcm_s16le host-ima.ref.raw
ff -i in-44100-2.wav -c:a adpcm_ms host-msadpcm.wav
ff -i host-msadpcm.wav -f s16le -c:a pcm_s16le host-msadpcm.ref.raw

touch "$stamp"
