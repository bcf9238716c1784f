#!/usr/bin/env bash
# Usage: make-acceptance-media.sh OUTDIR
# The inputs a user would hand ZEP, good and bad, made with the host's sox
# and ffmpeg, and the checksums of every input so that the checks after the
# run can prove that no input was changed.
set -euo pipefail
out=$(mkdir -p "$1" && cd "$1" && pwd)
stamp="$out/.complete-v7"
[ -f "$stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out"/{in,bad,batch10,batch200,long,long4,stems3,taken12}
cd "$out"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# One short input per decodable kind.
sox -R -n -r 44100 -b 16 -c 2 in/tone16.wav synth 2 sine 440 sine 660 gain -3
sox -R -n -r 22050 -b 8 -c 1 in/u8mono.wav synth 2 sine 300 gain -2
sox -R -n -r 48000 -b 24 -c 2 in/s24.wav synth 2 sine 1000 sine 1500 gain -1
sox -R -n -r 44100 -e floating-point -b 32 -c 2 in/f32.wav synth 2 sine 500 sine 700 gain -1
sox -R -n -r 48000 -b 16 -c 6 in/six.wav synth 2 sine 200 sine 300 sine 400 sine 500 sine 600 sine 700 gain -6
ff -i in/tone16.wav -c:a libmp3lame -b:a 192k in/tonemp3.mp3
ff -i in/tone16.wav -c:a libvorbis -q:a 6 in/toneogg.ogg
ff -i in/tone16.wav -c:a flac in/toneflac.flac

# A steady level to measure the volume stage by, with room for doubling.
sox -R -n -r 44100 -b 16 -c 2 level.wav synth 2 sine 1000 gain -14
# Long enough to be stopped or closed in the middle.
sox -R -n -r 44100 -b 16 -c 2 long60.wav synth 60 sine 220-440 sine 330 gain -6
# Four of three minutes: a batch of them, two at a time, is stopped in its first files.
sox long60.wav long4/1.flac repeat 2
for n in 2 3 4; do cp long4/1.flac long4/$n.flac; done

# Bad inputs.
: >bad/empty.wav
# Random bytes, the same on every run (sox's repeatable mode).
sox -R -n -r 8000 -b 16 -c 1 -t raw bad/noise.mp3 synth 4 whitenoise
mkdir bad/folder.wav
sox -R -n -r 44100 -b 16 -c 2 ten.wav synth 10 sine 500 gain -6
head -c $((44 + 44100 * 4 * 3)) ten.wav >bad/truncated.wav
# RIFF and data sizes far beyond the file's 3 s of audio.
cp bad/truncated.wav bad/lying.wav
printf '\xf0\xff\xff\x7f' | dd of=bad/lying.wav bs=1 seek=4 conv=notrunc status=none
printf '\xf0\xff\xff\x7f' | dd of=bad/lying.wav bs=1 seek=40 conv=notrunc status=none
# Damaged inputs of the formats the built-in decoder opens: cut short (the
# MP4 with its index first, as streaming files have it), a FLAC whose
# header claims 2^36 samples, random bytes under a FLAC's name, an empty
# FLAC and a folder named like an M4A.
sox ten.wav ten.flac
size=$(stat -c %s ten.flac)
head -c $((size * 3 / 5)) ten.flac >bad/truncated.flac
ffmpeg -nostdin -v error -i ten.wav -c:a aac -movflags +faststart ten.m4a
size=$(stat -c %s ten.m4a)
head -c $((size * 3 / 5)) ten.m4a >bad/truncated.m4a
cp bad/truncated.flac bad/lying.flac
printf '\xff\xff\xff\xff\xff' | dd of=bad/lying.flac bs=1 seek=21 conv=notrunc status=none
head -c 65536 bad/noise.mp3 >bad/noise.flac
: >bad/empty.flac
mkdir bad/folder.m4a
rm ten.wav ten.flac ten.m4a
mkdir -p "日本語のフォルダ"
cp in/tone16.wav "日本語のフォルダ/音声ファイル.wav"
# A path of more than 260 characters.
deep="long/$(printf 'a%.0s' {1..120})/$(printf 'b%.0s' {1..120})"
mkdir -p "$deep"
cp in/tone16.wav "$deep/$(printf 'c%.0s' {1..40}).wav"
cp in/tone16.wav case.wav

# A folder of ten mixed files, two of them damaged.
sox -R -n -r 44100 -b 16 -c 2 one.wav synth 1 sine 600 gain -6
for n in 01 08; do cp one.wav batch10/$n-tone.wav; done
for n in 02 06; do ff -i one.wav -c:a libmp3lame -b:a 128k batch10/$n-tone.mp3; done
for n in 03 09; do ff -i one.wav -c:a libvorbis batch10/$n-tone.ogg; done
for n in 05 10; do ff -i one.wav -c:a flac batch10/$n-tone.flac; done
# Its header overwritten: no parser of the system takes it.
for n in 04 07; do
  cp one.wav batch10/$n-broken.wav
  head -c 44 /dev/zero | dd of=batch10/$n-broken.wav conv=notrunc status=none
done
rm one.wav

# One stem in three formats, each its own tone: whose output is whose shows.
sox -R -n -r 44100 -b 16 -c 2 stems3/a.wav synth 1 sine 880 gain -6
sox -R -n -r 44100 -b 16 -c 2 tone.wav synth 1 sine 440 gain -6
ff -i tone.wav -c:a flac stems3/a.flac
sox -R -n -r 44100 -b 16 -c 2 tone.wav synth 1 sine 660 gain -6
ff -i tone.wav -c:a libmp3lame -b:a 192k stems3/a.mp3
rm tone.wav
# Twelve files whose mp3 outputs all take a name already there: the inputs'
# own, or the outputs of the files before them.
sox -R -n -r 44100 -b 16 -c 2 one.wav synth 1 sine 500 gain -6
for n in 1 2 3 4 5 6; do
  cp one.wav taken12/n0$n.wav
  ff -i one.wav -c:a libmp3lame -b:a 128k taken12/n0$n.mp3
done
rm one.wav

# A music library two levels deep, FLAC and M4A tagged, with what rips
# leave beside the tracks.
sox -R -n -r 44100 -b 16 -c 2 one.wav synth 1 sine 500 gain -6
ff -f lavfi -i color=red:s=32x32 -frames:v 1 cover.jpg
for album in "Alpha/First flac" "Beta/Second m4a"; do
  set -- $album
  mkdir -p "library/$1"
  cp cover.jpg "library/$1/cover.jpg"
  echo 'FILE "x.wav" WAVE' >"library/$1/album.cue"
  echo "rip log" >"library/$1/rip.log"
  for n in 1 2; do
    ff -i one.wav -metadata "artist=${1%/*}" -metadata "album=${1#*/}" -metadata "title=Song $n" \
      -metadata "track=$n" "library/$1/0$n Song $n.$2"
  done
done
rm one.wav cover.jpg

sox -R -n -r 22050 -b 16 -c 1 short.wav synth 0.2 sine 800 gain -6
for n in $(seq -w 1 200); do cp short.wav batch200/file$n.wav; done
rm short.wav

find . -type f ! -name '.complete-*' ! -name inputs.md5 -print0 | sort -z | xargs -0 md5sum >inputs.md5
touch "$stamp"
