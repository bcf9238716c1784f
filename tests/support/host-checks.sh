# Sourced by the host-side checks: ffprobe, ffmpeg and sox read the files
# ZEP wrote. fail and pass count; the script ends with its own summary.
failures=0 checks=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { checks=$((checks + 1)); }
# What ffprobe reads of a file, in one call: codec, rate, channels of the
# first audio stream, container and duration.
read_facts() {
  codec= rate= channels= format= length=
  local key value
  while IFS='=' read -r key value; do
    case $key in
      codec_name) codec=$value ;; sample_rate) rate=$value ;; channels) channels=$value ;;
      format_name) format=$value ;; duration) length=$value ;;
    esac
  done < <(ffprobe -v error -select_streams a:0 -of default=nw=1 \
             -show_entries stream=codec_name,sample_rate,channels:format=format_name,duration "$1" 2>/dev/null)
}
pcm_md5() { ffmpeg -nostdin -v error -i "$1" -f s16le -acodec pcm_s16le - | md5sum | cut -d' ' -f1; }
decodes() { ffmpeg -nostdin -v error -xerror -i "$1" -f null - 2>/dev/null; }
tone() { ffmpeg -nostdin -v error -i "$1" -f wav - | sox -t wav - -n stat 2>&1 | awk '/Rough +frequency/ { print $3 }'; }
rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'; }
between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v != "" && v >= lo && v <= hi) }'; }

# expect FILE CODEC CONTAINER RATE CHANNELS LOW HIGH: an audio file as described.
expect() {
  local file=$1 want_codec=$2 want_format=$3 want_rate=$4 want_channels=$5 low=$6 high=$7
  [ -s "$file" ] || { fail "$file is missing"; return; }
  read_facts "$file"
  [ "$codec" = "$want_codec" ] || fail "$file: codec $codec, not $want_codec"
  [ "$format" = "$want_format" ] || fail "$file: container $format, not $want_format"
  [ "$want_rate" = - ] || [ "$rate" = "$want_rate" ] || fail "$file: rate $rate"
  [ "$channels" = "$want_channels" ] || fail "$file: $channels channels"
  between "$length" "$low" "$high" || fail "$file lasts $length s"
  decodes "$file" || fail "$file does not decode cleanly"
  pass
}

