#!/usr/bin/env bash
# Usage: check-acm-output.sh MEDIADIR
# Decodes the WAVE files the ACM tests wrote into MEDIADIR/out with the
# host's ffmpeg and compares them with the input they were made from: byte
# for byte for PCM, above a signal-to-noise floor for each codec, and with
# no audio missing at the end.
set -uo pipefail
media=$1
out=$media/out
input=$media/in-44100-2.wav
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
pass() { echo "ok   $*"; passed=$((passed + 1)); }
fail() { echo "FAIL $*"; failed=$((failed + 1)); }
stream_of() {
  ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels \
    -of csv=p=0 "$1"
}
rms_db() { sox "$@" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }'; }
at_least() { awk -v v="$1" -v f="$2" 'BEGIN { exit !(v + 0 >= f + 0) }'; }

# The input as the file's rate and channels should hold it, by the host's
# own converter. A mix down to mono adds the channels, as the ACM's PCM
# converter does.
reference() {
  local rate=$1 channels=$2 ref=$work/ref-$1-$2.wav mix=()
  [ "$channels" = 1 ] && mix=(remix 1v1,2v1)
  [ -f "$ref" ] || sox "$input" "$ref" "${mix[@]}" rate "$rate"
  echo "$ref"
}

# check NAME "codec,rate,channels" FLOOR_DB FRAMES_MAY_EXCEED
check() {
  local name=$1 want=$2 floor=$3 slack=$4 file=$out/$1 got rate channels ref decoded
  if [ ! -f "$file" ]; then fail "$name: not written"; return; fi
  got=$(stream_of "$file")
  if [ "$got" != "$want" ]; then fail "$name: holds $got, expected $want"; return; fi
  IFS=, read -r _ rate channels <<<"$want"
  ref=$(reference "$rate" "$channels")
  decoded=$work/$name
  ff -i "$file" -c:a pcm_s16le "$decoded"
  local want_frames got_frames
  want_frames=$(soxi -s "$ref")
  got_frames=$(soxi -s "$decoded")
  # Nothing may be missing at the end; a codec may end its last block with silence.
  if [ "$got_frames" -lt $((want_frames - 2)) ] || [ "$got_frames" -gt $((want_frames + slack)) ]; then
    fail "$name: $got_frames frames decoded, $want_frames in the input"
    return
  fi
  # The length a player reads from the header ("fact" for a codec) is the decoded one.
  local header_frames
  header_frames=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration \
    -of csv=p=0 "$file" | awk -v r="$rate" '{ printf "%d", $1 * r + 0.5 }')
  if [ "$header_frames" -lt $((want_frames - 2)) ] || [ "$header_frames" -gt $((got_frames + 2)) ]; then
    fail "$name: the header says $header_frames frames, $got_frames decoded"
    return
  fi
  sox "$decoded" "$work/trimmed.wav" trim 0 "${want_frames}s"
  local signal noise snr
  signal=$(rms_db "$ref")
  noise=$(rms_db -m -v 1 "$ref" -v -1 "$work/trimmed.wav")
  snr=$(awk -v s="$signal" -v n="$noise" 'BEGIN { printf "%.1f", s - n }')
  if at_least "$snr" "$floor"; then
    pass "$name: $want, SNR $snr dB (floor $floor dB)"
  else
    fail "$name: SNR $snr dB, below the floor of $floor dB"
  fi
}

# PCM written unchanged must come back byte for byte.
if [ -f "$out/pcm-same.wav" ] &&
  ff -i "$out/pcm-same.wav" -f s16le -c:a pcm_s16le "$work/pcm-same.raw" &&
  cmp -s "$work/pcm-same.raw" "$media/in-44100-2.raw"; then
  pass "pcm-same.wav: identical to the input"
else
  fail "pcm-same.wav: missing or not identical to the input"
fi

# Floors lie a few dB under what Wine 8 gave (in dB: IMA 38.3, A-law 37.9,
# mu-law 36.9, GSM 8.5; IMA mono 38.3). Where the rate changes, the simple rate conversion
# of the ACM's PCM converter, measured against sox's, limits the figure
# (17.3 for PCM and 17.2 for IMA at 22.05 kHz); the tests under Wine check
# that the conversion in blocks adds nothing to it.
check pcm-22050-1.wav "pcm_s16le,22050,1" 14 2
check ima-44100-2.wav "adpcm_ima_wav,44100,2" 30 2041
check alaw-44100-2.wav "pcm_alaw,44100,2" 32 0
check mulaw-44100-2.wav "pcm_mulaw,44100,2" 32 0
check gsm-8000-1.wav "gsm_ms,8000,1" 6 320
check ima-22050-1.wav "adpcm_ima_wav,22050,1" 14 1017
check ima-44100-1.wav "adpcm_ima_wav,44100,1" 30 2041
check ima-22050-2.wav "adpcm_ima_wav,22050,2" 14 1017

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
