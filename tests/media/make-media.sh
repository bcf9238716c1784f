#!/usr/bin/env bash
# Usage: make-media.sh OUTDIR
# Generates the audio inputs of the tests with the host's sox and ffmpeg,
# and reference PCM decoded by the host (16-bit little-endian raw).
# Runs once per build; later calls return at once.
set -euo pipefail
out=$1
stamp="$out/.complete-v4"
[ -f "$stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
raw16() { ff -i "$1" -f s16le -acodec pcm_s16le "$2"; }

# A 10 s stereo test signal: different tones left and right with a slow
# sweep, so that a swapped, shifted or dropped block shows.
sox -n -r 44100 -b 16 -c 2 s16_stereo_44k.wav synth 10 sine 440-880 sine 660 gain -3 remix 1 2
sox -n -r 22050 -b 8 -c 1 u8_mono_22k.wav synth 3 sine 300 gain -2
sox -n -r 48000 -b 24 -c 2 s24_stereo_48k.wav synth 3 sine 1000 sine 1500 gain -1
sox -n -r 44100 -e floating-point -b 32 -c 2 f32_stereo_44k.wav synth 3 sine 500 sine 700 gain -1
sox -n -r 48000 -b 16 -c 6 s16_6ch_48k.wav synth 3 sine 200 sine 300 sine 400 sine 500 sine 600 sine 700 gain -6
sox -n -r 44100 -b 16 -c 2 long_60s.wav synth 60 sine 220 sine 330 gain -6
# Ten minutes, small as FLAC: a job that is surely still running when the
# progress timer first ticks, however fast the machine.
ff -stream_loop 9 -i long_60s.wav -c:a flac -compression_level 0 long_600s.flac

ff -i s16_stereo_44k.wav -c:a libmp3lame -b:a 192k s16_stereo_44k.mp3
ff -i s16_stereo_44k.wav -c:a libvorbis -q:a 6 s16_stereo_44k.ogg
ff -i s16_stereo_44k.wav -c:a flac s16_stereo_44k.flac
# A codec the built-in decoder leaves to the system's filters.
ff -i s16_stereo_44k.wav -t 2 -ac 1 -ar 16000 -c:a libspeex speex.ogg
# A cover that is no picture, which Opus cannot carry.
ff -i s16_stereo_44k.wav -t 1 -c:a flac junk_cover.flac
printf 'not a picture at all' >junk.bin
metaflac --import-picture-from="3|image/png||1x1x24|junk.bin" junk_cover.flac
rm junk.bin

# References: the host's own 16-bit conversion of each input.
sox s16_stereo_44k.wav -t raw s16_stereo_44k.ref.raw
for f in u8_mono_22k s24_stereo_48k f32_stereo_44k; do raw16 $f.wav $f.ref.raw; done
ff -i s16_6ch_48k.wav -ac 2 -f s16le -acodec pcm_s16le s16_6ch_48k.ref.raw
raw16 s16_stereo_44k.mp3 s16_stereo_44k.mp3.ref.raw
raw16 s16_stereo_44k.ogg s16_stereo_44k.ogg.ref.raw

printf 'This is not audio.\n' >not_audio.txt
: >empty.wav
touch "$stamp"
