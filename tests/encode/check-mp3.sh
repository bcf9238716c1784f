#!/usr/bin/env bash
# Usage: check-mp3.sh MEDIA OUTPUT INPUT RATE CHANNELS KBPS COMPARE
# Reads one output of encode.mp3 with the host's ffprobe and ffmpeg: an MP3
# file (.mp3) or a Layer-3 WAVE file (.wav) at RATE Hz with CHANNELS, KBPS
# kbit/s (0: variable), as long as INPUT within one frame plus the encoder
# delay. COMPARE says what its decoded audio must correlate with: "channels"
# (each input channel), "mix" (the input's mono mix) or "none".
set -euo pipefail
media=$1 output=$2 input=$3 rate=$4 channels=$5 kbps=$6 compare=$7
file="$media/$output" in="$media/$input"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-mp3: $output: $*" >&2; exit 1; }
probe() { ffprobe -v error -select_streams a:0 -show_entries "$1" -of default=nw=1:nk=1 "$file"; }
within() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; exit !(d <= t && d >= -t) }'; }

[ "$(probe stream=codec_name)" = mp3 ] || fail "codec $(probe stream=codec_name), not mp3"
[ "$(probe stream=sample_rate)" = "$rate" ] || fail "rate $(probe stream=sample_rate)"
[ "$(probe stream=channels)" = "$channels" ] || fail "channels $(probe stream=channels)"
in_seconds=$(soxi -D "$in")
duration=$(probe format=duration)
frame=$(awk -v r="$rate" 'BEGIN { print (r >= 32000 ? 1152 : 576) / r }')

le() { od -An -tu"$2" -j"$1" -N"$2" "$file" | tr -d ' '; }
check_wave() {
  [ "$(probe format=format_name)" = wav ] || fail "format $(probe format=format_name)"
  [ "$(probe stream=codec_tag)" = 0x0055 ] || fail "tag $(probe stream=codec_tag)"
  local size data
  size=$(stat -c %s "$file")
  data=$(le 66 4)
  [ "$(head -c 4 "$file")" = RIFF ] && [ "$(le 4 4)" = $((size - 8)) ] || fail "RIFF size"
  [ "$(le 36 2)" = 12 ] && [ "$(le 38 2)" = 1 ] || fail "MPEGLAYER3WAVEFORMAT"
  [ $((70 + data + data % 2)) = "$size" ] || fail "data size $data of $size bytes"
  within "$(le 58 4)" "$(awk -v s="$in_seconds" -v r="$rate" 'BEGIN { print s * r }')" 1 ||
    fail "fact $(le 58 4)"
  within "$duration" "$in_seconds" "$frame" || fail "duration $duration, input $in_seconds"
}

check_mp3() {
  [ "$(probe format=format_name)" = mp3 ] || fail "format $(probe format=format_name)"
  local tag=Info
  [ "$kbps" = 0 ] && tag=Xing
  head -c 200 "$file" | grep -aq "$tag" || fail "no $tag header"
  if [ "$kbps" != 0 ]; then
    [ "$(probe stream=bit_rate)" = $((kbps * 1000)) ] || fail "bit rate $(probe stream=bit_rate)"
  fi
  local delay
  delay=$(probe stream=start_time)
  within "$duration" "$in_seconds" "$(awk -v f="$frame" -v d="$delay" 'BEGIN { print f + d }')" ||
    fail "duration $duration, input $in_seconds"
}

rms() { sox "$@" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'; }
correlation() { # reference decoded, both mono, same rate and length
  local a b d
  a=$(rms "$1") b=$(rms "$2") d=$(rms -m -v 1 "$1" -v -1 "$2")
  awk -v a="$a" -v b="$b" -v d="$d" 'BEGIN { printf "%.4f", (a * a + b * b - d * d) / (2 * a * b) }'
}

check_audio() {
  local in_rate end decoded
  in_rate=$(soxi -r "$in")
  ffmpeg -nostdin -v error -i "$file" -ar "$in_rate" -c:a pcm_s16le "$work/decoded.wav"
  decoded=$(soxi -D "$work/decoded.wav")
  # Only plain MP3 tells the decoder the encoder's delay and padding.
  local slack=$frame
  case $output in
  *.wav) slack=$(awk -v f="$frame" -v d="$(le 48 2)" -v r="$rate" 'BEGIN { print 2 * f + d / r }') ;;
  esac
  within "$decoded" "$in_seconds" "$slack" || fail "decodes to $decoded s, input $in_seconds s"
  [ "$compare" = none ] && return 0
  end=$(awk -v s="$in_seconds" 'BEGIN { print s - 0.5 }')
  local c n=1 mix="remix 1"
  [ "$compare" = mix ] && mix="remix 1v0.5,2v0.5"
  [ "$compare" = channels ] && n=$channels
  for c in $(seq "$n"); do
    [ "$compare" = channels ] && mix="remix $c"
    sox "$in" -b 16 "$work/ref.wav" $mix trim 0.5 =$end
    sox "$work/decoded.wav" "$work/dec.wav" remix "$c" trim 0.5 =$end
    local r
    r=$(correlation "$work/ref.wav" "$work/dec.wav")
    awk -v r="$r" 'BEGIN { exit !(r >= 0.95) }' || fail "channel $c correlates only $r"
    echo "check-mp3: $output channel $c correlation $r"
  done
}

case $output in
*.wav) check_wave ;;
*) check_mp3 ;;
esac
check_audio
echo "check-mp3: $output: $(probe format=format_name) mp3 ${rate} Hz ${channels} ch, $duration s"
