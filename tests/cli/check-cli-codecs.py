#!/usr/bin/python3
"""Usage: check-cli-codecs.py DIST WORK
ZEPc's FLAC holds exactly the samples its WAV (PCM) output of the same input
holds, for WAV, mp3 and FLAC inputs in mono and stereo, with the exact
length in its stream information and a seek table whose points land on
frames. Its Opus decodes to the input's length at 48 kHz within one sample
and keeps the input's level, also from an 8 kHz input Opus cannot take as
it is. Runs inside the test session; ffmpeg and mutagen on the host read."""
import array, math, os, subprocess, sys
from mutagen import flac

sys.path.insert(0, os.path.dirname(__file__))
from zepc_checks import check, install, report, winpath

dist, work = sys.argv[1:3]
zepc = install(dist, work, "ZEPCliCodecs")

def run(*command):
    return subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=300)

def samples(path, rate=None, wide=False):
    """The file decoded by ffmpeg: 16-bit (or 32-bit) samples, interleaved."""
    resample = ["-ar", str(rate)] if rate else []
    data = array.array("i" if wide else "h")
    data.frombytes(run("ffmpeg", "-nostdin", "-v", "error", "-i", path, *resample,
                       "-f", "s32le" if wide else "s16le", "-").stdout)
    return data

def rms_db(data):
    return 10 * math.log10(sum(x * x for x in data) / max(len(data), 1) + 1e-9)

def seek_table_lands_on_frames(path, seconds):
    """Every point past the placeholders at a frame's sync code, one per ten seconds."""
    bytes_ = open(path, "rb").read()
    at, last = 4, False
    while not last:
        last, size = bytes_[at] & 0x80, int.from_bytes(bytes_[at + 1:at + 4], "big")
        at += 4 + size
    points = [p for p in flac.FLAC(path).seektable.seekpoints if p.first_sample != 2**64 - 1]
    return (len(points) == math.ceil(seconds / 10) and
            all(bytes_[at + p.byte_offset] == 0xFF and bytes_[at + p.byte_offset + 1] & 0xFE == 0xF8
                for p in points) and
            [p.first_sample for p in points] == sorted({p.first_sample for p in points}))

# Lossless: music-like sound (a sweep under noise), 25 s so that the seek
# table holds three points.
for channels in (1, 2):
    wav = os.path.join(work, f"in{channels}.wav")
    run("sox", "-n", "-r", "44100", "-b", "16", "-c", str(channels), wav, "synth", "25",
        "sine", "100-8000", "synth", "25", "pinknoise", "mix", "gain", "-3")
    for kind, codec in (("wav", []), ("mp3", ["-c:a", "libmp3lame"]), ("flac", ["-c:a", "flac"])):
        source = os.path.join(work, f"in{channels}-{kind}.{kind}")
        run("ffmpeg", "-nostdin", "-v", "error", "-i", wav, *codec, source)
        pcm, out = source + ".pcm.wav", source + ".out.flac"
        rc = (zepc(winpath(source), "-f", "wav", "-o", winpath(pcm)),
              zepc(winpath(source), "-f", "flac", "-o", winpath(out)))
        what = f"{kind}, {channels} channel(s)"
        if rc != (0, 0):
            check(False, f"{what}: exit codes {rc}")
            continue
        # An mp3 decodes to floats, which the FLAC holds as 24-bit.
        reference, got = samples(pcm, wide=True), samples(out, wide=True)
        step = 256 if kind == "mp3" else 0
        check(len(got) == len(reference) > 0 and
              all(abs(a - b) <= step for a, b in zip(got, reference)),
              f"{what}: the FLAC's samples differ")
        info = flac.FLAC(out).info
        check(info.total_samples * channels == len(reference),
              f"{what}: {info.total_samples} samples in the stream information")
        check(seek_table_lands_on_frames(out, info.total_samples / 44100),
              f"{what}: the seek table misses its frames")

# Opus: the length to the sample at 48 kHz, and the level, from 44.1 kHz
# stereo and from 8 kHz mono.
for rate, channels in ((44100, 2), (8000, 1)):
    source = os.path.join(work, f"ten-{rate}.wav")
    run("sox", "-n", "-r", str(rate), "-b", "16", "-c", str(channels), source, "synth", "10",
        "sine", "220-3000", "synth", "10", "pinknoise", "mix", "gain", "-6")
    out = source + ".opus"
    rc = zepc(winpath(source), "-f", "opus", "-o", winpath(out))
    decoded = samples(out) if rc == 0 else array.array("h")
    length = len(decoded) / channels
    check(abs(length - 480000) <= 1, f"Opus from {rate} Hz: {length} samples at 48 kHz, rc {rc}")
    level = rms_db(decoded) - rms_db(samples(source, 48000))
    check(abs(level) <= 0.5, f"Opus from {rate} Hz: its level is {level:+.2f} dB off")

report("FLAC and Opus")
