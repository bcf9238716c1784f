#!/usr/bin/python3
"""Usage: check-cli-resolution.py DIST WORK
Every output keeps as much of the source as it holds. To flac and to WAV
with --acm PCM, each source decodes (the host's flac and ffmpeg) to exactly
its own samples at its own depth, rate, channels and layout, with a
matching STREAMINFO MD5; floats become 24-bit within one step. FLAC reduced
on purpose keeps length and level; 5.1 becomes stereo mp3 at ffmpeg's level
without its LFE; Opus keeps 5.1; the volume scales 24-bit and float
sources."""
import array, math, os, subprocess, sys

sys.path.insert(0, os.path.dirname(__file__))
from zepc_checks import check, install, report, winpath

dist, work = sys.argv[1:3]
zepc = install(dist, work, "ZEPCliResolution")
media = os.path.join(work, "media")
os.makedirs(media)

def run(*command):
    return subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=300)

def path(name):
    return os.path.join(media, name)

def probe(name, field):
    return run("ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
               f"stream={field}", "-of", "csv=p=0", name).stdout.decode().strip()

def raw(name, sample_format, *options):
    """The decoded samples as ffmpeg gives them in sample_format."""
    return run("ffmpeg", "-nostdin", "-v", "error", "-i", name, *options, "-f", sample_format,
               "-").stdout

def convert(source, fmt, output, *options):
    rc = zepc(winpath(path(source)), "-f", fmt, "-o", winpath(output), *options)
    check(rc == 0, f"{source} to {output}: exit code {rc}, {zepc.stderr.strip()[-200:]}")
    return rc == 0

def level(samples):
    return 20 * math.log10(math.sqrt(sum(s * s for s in samples) / len(samples)) or 1e-9)

def s16(name, *options):
    return array.array("h", raw(name, "s16le", *options))

def sox(name, rate, bits, channels, *synth, encoding=()):
    run("sox", "-n", "-r", str(rate), "-b", str(bits), *encoding, "-c", str(channels), path(name),
        "synth", "3", *synth, "gain", "-4")

TONES = ["sine", "440", "sine", "550", "sine", "660", "sine", "50", "sine", "880", "sine", "990"]
sox("s24_96.wav", 96000, 24, 2, "sine", "1000", "sine", "1500")
sox("s24_51.wav", 48000, 24, 6, *TONES)
sox("u8_mono.wav", 22050, 8, 1, "sine", "700")
sox("s16_mono.wav", 44100, 16, 1, "sine", "700")
sox("f32.wav", 44100, 32, 2, "sine", "500", "sine", "600", encoding=("-e", "floating-point"))
sox("lfe_only.wav", 48000, 16, 6, *(["sine", "0"] * 3 + ["sine", "50"] + ["sine", "0"] * 2))
run("ffmpeg", "-v", "error", "-i", path("s24_96.wav"), "-c:a", "flac", path("s24_96.flac"))
run("ffmpeg", "-v", "error", "-i", path("s24_51.wav"), "-c:a", "flac", path("s24_51.flac"))
run("ffmpeg", "-v", "error", "-i", path("s24_96.wav"), "-c:a", "alac", path("alac24.m4a"))

# source: sample format ffmpeg compares in, bits, channel layout (as ffprobe
# names it; a plain mono WAV names none)
EXACT = [("s24_96.wav", "s24le", 24, "stereo"), ("s24_96.flac", "s24le", 24, "stereo"),
         ("s24_51.flac", "s24le", 24, "5.1"), ("alac24.m4a", "s24le", 24, "stereo"),
         ("u8_mono.wav", "u8", 8, "1"), ("s16_mono.wav", "s16le", 16, "1")]
for source, sample_format, bits, layout in EXACT:
    samples = raw(path(source), sample_format)
    for fmt, options in (("flac", ()), ("wav", ("--acm", "PCM"))):
        output = os.path.join(work, f"{source}.{fmt}")
        if not convert(source, fmt, output, *options):
            continue
        what = f"{source} to {fmt}"
        check(raw(output, sample_format) == samples, f"{what}: not the source's samples")
        got = (probe(output, "sample_rate"),
               probe(output, "channels" if layout.isdigit() else "channel_layout"),
               probe(output, "bits_per_raw_sample" if fmt == "flac" else "bits_per_sample"))
        check(got == (probe(path(source), "sample_rate"), layout, str(bits)),
              f"{what}: rate, layout and bits {got}")
    flac = os.path.join(work, f"{source}.flac")
    decoded = run("flac", "-d", "-f", "-s", "-o", flac + ".wav", flac)
    check(decoded.returncode == 0 and raw(flac + ".wav", sample_format) == samples,
          f"{source}: the host's flac -d finds {decoded.stderr.decode()[-200:]} or other samples")

# Floats to flac: 24-bit, within one step of the float values.
if convert("f32.wav", "flac", os.path.join(work, "f32.flac")):
    got = array.array("i", raw(os.path.join(work, "f32.flac"), "s32le"))
    want = array.array("f", raw(path("f32.wav"), "f32le"))
    check(probe(os.path.join(work, "f32.flac"), "bits_per_raw_sample") == "24" and
          len(got) == len(want) and
          max(abs(g / 256 - w * 8388608) for g, w in zip(got, want)) <= 1,
          "f32.wav to flac: not 24-bit within one step")

# On purpose: 16-bit 44.1 kHz from 24-bit 96 kHz, as ffmpeg's own resampling.
cd = os.path.join(work, "cd.flac")
if convert("s24_96.flac", "flac", cd, "--flac-bits", "16", "--flac-rate", "44100"):
    ours, host = s16(cd), s16(path("s24_96.flac"), "-ar", "44100", "-sample_fmt", "s16")
    source_frames = len(raw(path("s24_96.flac"), "s24le")) // 6
    check((probe(cd, "bits_per_raw_sample"), probe(cd, "sample_rate")) == ("16", "44100"),
          "the CD copy is not 16-bit 44.1 kHz")
    check(abs(len(ours) / 2 - source_frames * 44100 / 96000) <= 1,
          f"the CD copy has {len(ours) // 2} frames of {source_frames * 44100 / 96000}")
    original = level(array.array("i", raw(path("s24_96.flac"), "s32le"))) - 20 * math.log10(65536)
    check(abs(level(ours) - original) <= 0.1, f"the CD copy's level {level(ours):.2f} dB")
    noise = [a - b for a, b in zip(ours, host)]
    check(level(noise) - level(host) <= -60, f"the CD copy is {level(noise) - level(host):.1f} dB "
          "from ffmpeg's")

# 5.1 to stereo mp3: at ffmpeg's own downmix level, unclipped, no LFE.
mp3 = os.path.join(work, "51.mp3")
if convert("s24_51.flac", "mp3", mp3) and convert("lfe_only.wav", "mp3", mp3 + ".lfe.mp3"):
    ours, host = s16(mp3), s16(path("s24_51.flac"), "-ac", "2")
    check(probe(mp3, "channels") == "2" and abs(level(ours) - level(host)) <= 1,
          f"5.1 to mp3: {level(ours):.2f} dB against ffmpeg's {level(host):.2f} dB")
    check(max(map(abs, ours)) < 32767, "5.1 to mp3 clips")
    check(level(s16(mp3 + ".lfe.mp3")) < level(ours) - 60, "5.1 to mp3 keeps the LFE")

# Opus keeps 5.1 in its layout: each channel's own tone where it was.
opus = os.path.join(work, "51.opus")
if convert("s24_51.wav", "opus", opus):
    decoded = s16(opus)
    check(probe(opus, "channel_layout") == "5.1" and len(decoded) == len(s16(path("s24_51.wav"))),
          f"5.1 to opus: {probe(opus, 'channel_layout')}, {len(decoded) // 6} frames")
    for channel, tone in enumerate(TONES[1::2]):
        samples = decoded[channel::6][:24000]
        energy = {f: abs(sum(s * complex(math.cos(2 * math.pi * f * i / 48000),
                                         math.sin(2 * math.pi * f * i / 48000))
                             for i, s in enumerate(samples))) for f in map(int, TONES[1::2])}
        check(max(energy, key=energy.get) == int(tone), f"5.1 to opus: channel {channel} "
              f"holds {max(energy, key=energy.get)} Hz, not {tone}")

# The volume on 24-bit and float sources: -6.02 dB at 50 %.
for source, sample_format in (("s24_96.wav", "s32le"), ("f32.wav", "f32le")):
    half = os.path.join(work, f"half-{source}")
    if convert(source, "wav", half, "--volume", "50"):
        kind = "i" if sample_format == "s32le" else "f"
        change = (level(array.array(kind, raw(half, sample_format))) -
                  level(array.array(kind, raw(path(source), sample_format))))
        check(abs(change + 6.02) <= 0.05, f"{source} at 50 %: {change:.3f} dB")

report("source resolution")
