#!/usr/bin/env bash
# Usage: check-main-outputs.sh MEDIA OUT
# The host's ffprobe and ffmpeg read what the main dialog's jobs wrote.
set -euo pipefail
media=$1 out=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
probe() { ffprobe -v error -select_streams a:0 -show_entries "stream=$2" -of csv=p=0 "$out/$1"; }
pcm() { ffmpeg -nostdin -v error -i "$1" -f s16le -acodec pcm_s16le - | md5sum | cut -d' ' -f1; }

[ "$(probe main-pcm.wav codec_name)" = pcm_s16le ] || fail "main-pcm.wav is not 16-bit PCM"
[ "$(pcm "$out/main-pcm.wav")" = "$(pcm "$media/s16_stereo_44k.wav")" ] ||
  fail "main-pcm.wav does not hold the input's samples"

[ "$(probe main-ima.wav codec_name)" = adpcm_ima_wav ] || fail "main-ima.wav is not IMA ADPCM"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/main-ima.wav")
awk -v d="$duration" 'BEGIN { exit !(d > 9.9 && d < 10.1) }' || fail "main-ima.wav lasts $duration s"

duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/main-stopped.wav")
awk -v d="$duration" 'BEGIN { exit !(d > 0 && d < 599) }' || fail "stopped output lasts $duration s"
ffmpeg -nostdin -v error -i "$out/main-stopped.wav" -f null - || fail "stopped output does not decode"
[ "$(probe main-mp3.mp3 codec_name)" = mp3 ] || fail "main-mp3.mp3 is not MP3"
[ "$(ffprobe -v error -show_entries format=format_name -of csv=p=0 "$out/main-layer3.wav")" = wav ] &&
  [ "$(probe main-layer3.wav codec_name)" = mp3 ] || fail "main-layer3.wav is not MP3 in WAVE"
for f in main-mp3.mp3 main-layer3.wav; do
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/$f")
  awk -v d="$duration" 'BEGIN { exit !(d > 9.9 && d < 10.2) }' || fail "$f lasts $duration s"
done
[ "$(probe main-ima-chosen.wav codec_name)" = adpcm_ima_wav ] || fail "main-ima-chosen.wav is not IMA ADPCM"
echo "main dialog outputs: 6 passed, 0 failed"
