#!/usr/bin/env bash
# Usage: check-acceptance.sh MEDIA OUT LANGUAGE...
# The host's ffprobe, ffmpeg and sox read every file the acceptance runs
# wrote, and every input is compared with the checksum it had when it was made.
set -uo pipefail
media=$1 out=$2
shift 2
source "$(dirname "${BASH_SOURCE[0]}")/../support/host-checks.sh"

for language in "$@"; do
  o=$out/$language
  # Every input to every output: PCM at the rate chosen in the format
  # chooser (more than two channels mixed to stereo), MP3 in WAVE and plain MP3.
  while read -r stem rate channels; do
    # (a decoded MP3 keeps its encoder's padding)
    expect "$o/matrix/$stem-acm.wav" pcm_s16le wav "$rate" "$channels" 1.98 2.06
    expect "$o/matrix/$stem-l3.wav" mp3 wav - "$channels" 1.95 2.15
    expect "$o/matrix/$stem.mp3" mp3 mp3 - "$channels" 1.95 2.15
    [ ! -e "$o/matrix/$stem.wma" ] || fail "$o/matrix/$stem.wma was left behind by a failed job"
  done <<'LIST'
tone16 44100 2
u8mono 22050 1
s24 44100 2
f32 44100 2
six 44100 2
tonemp3 44100 2
toneogg 44100 2
toneflac 44100 2
LIST
  # Lossless inputs arrive sample for sample.
  for stem in tone16 toneflac; do
    [ "$(pcm_md5 "$o/matrix/$stem-acm.wav")" = "$(pcm_md5 "$media/in/tone16.wav")" ] &&
      pass || fail "$stem-acm.wav does not hold the input's samples"
  done

  # Volume: half and double of the input's level (-6.02 dB and +6.02 dB).
  source_rms=$(rms "$media/level.wav")
  for percent in 50 200; do
    ratio=$(awk -v a="$(rms "$o/volume-$percent.wav")" -v b="$source_rms" 'BEGIN { print a / b }')
    between "$ratio" "$(awk -v p=$percent 'BEGIN { print p / 100 * 0.98 }')" \
      "$(awk -v p=$percent 'BEGIN { print p / 100 * 1.02 }')" &&
      pass || fail "volume $percent %: level ratio $ratio"
  done

  # The batch of ten: every good file converted beside itself, the damaged one not.
  for f in 01-tone.wav 08-tone.wav 03-tone.ogg 09-tone.ogg 05-tone.flac 10-tone.flac; do
    expect "$o/batch10/${f%.*}.mp3" mp3 mp3 - 2 0.95 1.15
  done
  for f in 02-tone 06-tone; do expect "$o/batch10/${f}_conv.mp3" mp3 mp3 - 2 0.95 1.15; done
  [ ! -e "$o/batch10/04-broken.mp3" ] && [ ! -e "$o/batch10/07-broken.mp3" ] && pass ||
    fail "a file was made from a damaged input"

  # Bad inputs that still hold audio give what they hold.
  expect "$o/bad/truncated-wav-out.wav" pcm_s16le wav 44100 2 2.99 3.01
  expect "$o/bad/lying-wav-out.wav" pcm_s16le wav 44100 2 2.99 3.01
  # Cut at 3/5 of their bytes: what the frames before the cut hold.
  expect "$o/bad/truncated-flac-out.wav" pcm_s16le wav 44100 2 4 7
  expect "$o/bad/lying-flac-out.wav" pcm_s16le wav 44100 2 4 7
  expect "$o/bad/truncated-m4a-out.wav" pcm_s16le wav 44100 2 4 7
  expect "$o/日本語の出力.mp3" mp3 mp3 - 2 1.95 2.15
  expect "$o/long-out.mp3" mp3 mp3 - 2 1.95 2.15
  expect "$o/no-res.wav" pcm_s16le wav 44100 2 1.98 2.02

  # Stopped and closed conversions: whole files, no longer than the input.
  for f in "$o"/stop/stop-*; do
    case $f in
      *.mp3) expect "$f" mp3 mp3 - 2 0 60.1 ;;
      *) read_facts "$f"
         if [ "$codec" = mp3 ]; then expect "$f" mp3 wav - 2 0 60.1
         else expect "$f" pcm_s16le wav 44100 2 0 60.01; fi ;;
    esac
  done
  [ "$(ls "$o"/stop | wc -l)" = 20 ] && pass || fail "$(ls "$o"/stop | wc -l) of 20 stopped outputs"
  expect "$o/closed-during.mp3" mp3 mp3 - 2 0 60.1
  # A parallel batch stopped in its first two files: those two, whole, and nothing more.
  for f in "$o"/long4/*.mp3; do expect "$f" mp3 mp3 - 2 0 180.1; done
  [ "$(ls "$o"/long4/*.mp3 | wc -l)" -le 2 ] && [ "$(ls "$o"/long4 | wc -l)" -le 6 ] && pass ||
    fail "the stopped batch left $(ls "$o"/long4)"

  # One stem in three formats: three new files, each of its own input's tone;
  # the lossless two sample for sample.
  for f in a_conv:a.flac a_conv2:a.mp3 a_conv3:a.wav; do
    IFS=: read -r stem from <<<"$f"
    expect "$o/stems3/$stem.wav" pcm_s16le wav 44100 2 0.99 1.1
    made=$(tone "$o/stems3/$stem.wav") given=$(tone "$media/stems3/$from")
    between "$made" "$(awk -v g="$given" 'BEGIN { print g * 0.95 }')" \
      "$(awk -v g="$given" 'BEGIN { print g * 1.05 }')" && pass || fail "$stem.wav is not $from"
  done
  for f in a_conv:a.flac a_conv3:a.wav; do
    [ "$(pcm_md5 "$o/stems3/${f%%:*}.wav")" = "$(pcm_md5 "$media/stems3/${f#*:}")" ] &&
      pass || fail "${f%%:*}.wav does not hold ${f#*:}'s samples"
  done
  [ "$(ls "$o/stems3" | wc -l)" = 6 ] && pass || fail "stems3 holds $(ls "$o/stems3" | wc -l) files, not 6"
  # Twelve outputs, every name already taken: each converted under a free one.
  for n in 1 2 3 4 5 6; do
    for stem in n0${n}_conv n0${n}_conv2; do expect "$o/taken12/$stem.mp3" mp3 mp3 - 2 0.95 1.15; done
  done
  [ "$(ls "$o/taken12" | wc -l)" = 24 ] && pass || fail "taken12 holds $(ls "$o/taken12" | wc -l) files, not 24"

  # Two hundred files, two hundred outputs.
  # (sox reads all their headers in one go)
  n=$(soxi -D "$o"/batch200/file*_conv.wav 2>/dev/null | awk '$1 >= 0.19 && $1 <= 0.21' | wc -l)
  [ "$n" = 200 ] && pass || fail "$n of 200 batch outputs are whole"

  # The copies the batches and the naming cases worked on are still what they were.
  for folder in batch10 batch200 stems3 taken12; do
    (cd "$media/$folder" && md5sum ./*) | sed "s|\./|$o/$folder/|" | md5sum -c --quiet - ||
      fail "a $folder input was changed"
  done
  cmp -s "$media/case.wav" "$o/case.wav" && pass || fail "case.wav was changed"
  cmp -s "$media/in/tone16.wav" "$o/failed/keep.wav" && pass || fail "a failed job changed keep.wav"
done

(cd "$media" && md5sum -c --quiet inputs.md5) && pass || fail "an input was changed"
echo "acceptance outputs: $checks passed, $failures failed"
[ $failures = 0 ]
