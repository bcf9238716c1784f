#!/usr/bin/python3
"""Usage: check-cli-decode.py DIST WORK
The built-in decoder on the filter set of a stock Windows (GStreamer's
elements for these formats ranked out): ZEPc converts an input of each
format the host's tools write to WAV (PCM) and to mp3, naming the built-in
decoder. A lossless input's WAV is the source's 16-bit PCM (a lossy one's is
float); every output's
length is the source's to the sample (MP3 with a LAME header, AAC in M4A,
Vorbis and Opus too), or, for formats that record no length, what the host's
ffmpeg decodes. --decoder system and a saved Decoder of 1 reach the system's
filters. Damaged inputs of every format end in a numbered error or a valid
output, never a crash, a hang or a file left behind."""
import os, random, struct, subprocess, sys, wave

sys.path.insert(0, os.path.dirname(__file__))
from zepc_checks import STOCK_WINDOWS, check, install, report, winpath

dist, work = sys.argv[1:3]
BRANCH = "ZEPCliDecode"
zepc = install(dist, work, BRANCH)
media = os.path.join(work, "media")
os.makedirs(media)

def run(*command, **kwargs):
    return subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=300,
                          **kwargs)

def path(name):
    return os.path.join(media, name)

def ffmpeg(source, name, *options):
    run("ffmpeg", "-nostdin", "-v", "error", "-y", "-i", path(source), *options, path(name),
        check=True)

def host_samples(name):
    """What the host's ffmpeg decodes, in sample frames."""
    pcm = run("ffmpeg", "-nostdin", "-v", "error", "-i", path(name), "-f", "s16le", "-ac", "2",
              "-").stdout
    return len(pcm) // 4

def declared_samples(name):
    return int(run("ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                   "stream=duration_ts", "-of", "csv=p=0", path(name)).stdout)

def extensible(source, name):
    """The source's PCM under a WAVE_FORMAT_EXTENSIBLE header."""
    with wave.open(path(source)) as w:
        rate, channels, frames = w.getframerate(), w.getnchannels(), w.readframes(w.getnframes())
    fmt = struct.pack("<HHIIHHHHIH14s", 0xFFFE, channels, rate, rate * channels * 2, channels * 2,
                      16, 22, 16, 3, 1, b"\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71")
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack(
        "<I", len(frames)) + frames
    open(path(name), "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)

SAMPLES = 100000 # no whole number of any codec's frames
run("sox", "-r", "44100", "-n", "-b", "16", "-c", "2", path("source.wav"), "synth",
    f"{SAMPLES}s", "sine", "200-4000", "sine", "300-900", "synth", "pinknoise", "mix", "gain", "-6",
    check=True)
run("sox", path("source.wav"), "-r", "48000", path("source48.wav"), check=True)
run("sox", path("source48.wav"), path("source48.wav.tmp.wav"), "trim", "0", f"{SAMPLES}s",
    check=True)
os.replace(path("source48.wav.tmp.wav"), path("source48.wav"))
source_pcm = run("ffmpeg", "-nostdin", "-v", "error", "-i", path("source.wav"), "-f", "s16le",
                 "-").stdout

# name, how it is made, and what its WAV must be: "lossless" (the source's
# PCM), "exact" (the source's length), "declared" (the length its container
# declares: the host ffmpeg's AAC writer marks some 25 samples fewer than it
# was given) or "host" (the host ffmpeg's length, for formats that record
# none).
FORMATS = [
    ("extensible.wav", lambda n: extensible("source.wav", n), "lossless"),
    ("rf64.wav", lambda n: ffmpeg("source.wav", n, "-rf64", "always"), "lossless"),
    # The host ffmpeg's Wave64 writer counts its chunk's pad bytes as audio.
    ("wave64.w64", lambda n: run("sox", path("source.wav"), path(n), check=True), "lossless"),
    ("source.aiff", lambda n: ffmpeg("source.wav", n), "lossless"),
    ("source.aifc", lambda n: run("sox", path("source.wav"), "-t", "aifc", path(n), check=True),
     "lossless"),
    ("source.caf", lambda n: ffmpeg("source.wav", n, "-c:a", "pcm_s16le"), "lossless"),
    ("source.au", lambda n: ffmpeg("source.wav", n), "lossless"),
    ("source.flac", lambda n: run("flac", "-s", "-o", path(n), path("source.wav"), check=True),
     "lossless"),
    ("ogg-flac.oga", lambda n: run("flac", "-s", "--ogg", "-o", path(n), path("source.wav"),
                                   check=True), "lossless"),
    ("alac.m4a", lambda n: ffmpeg("source.wav", n, "-c:a", "alac"), "lossless"),
    ("source.wv", lambda n: ffmpeg("source.wav", n, "-c:a", "wavpack"), "lossless"),
    ("source.tta", lambda n: ffmpeg("source.wav", n), "lossless"),
    ("flac.mka", lambda n: ffmpeg("source.wav", n, "-c:a", "flac"), "lossless"),
    ("lame.mp3", lambda n: run("lame", "--quiet", "-b", "192", path("source.wav"), path(n),
                               check=True), "exact"),
    ("aac.m4a", lambda n: ffmpeg("source.wav", n, "-c:a", "aac", "-b:a", "160k"), "declared"),
    ("vorbis.ogg", lambda n: ffmpeg("source.wav", n, "-c:a", "libvorbis"), "exact"),
    ("source.opus", lambda n: run("opusenc", "--quiet", path("source48.wav"), path(n),
                                  check=True), "exact"),
    ("opus.webm", lambda n: ffmpeg("source48.wav", n, "-c:a", "libopus"), "host"),
    ("source.mp2", lambda n: ffmpeg("source.wav", n, "-c:a", "mp2"), "host"),
    ("wma1.wma", lambda n: ffmpeg("source.wav", n, "-c:a", "wmav1"), "host"),
    ("wma2.wma", lambda n: ffmpeg("source.wav", n, "-c:a", "wmav2"), "host"),
    ("source.ac3", lambda n: ffmpeg("source.wav", n, "-c:a", "ac3"), "host"),
    ("source.eac3", lambda n: ffmpeg("source.wav", n, "-c:a", "eac3"), "host"),
    ("source.dts", lambda n: ffmpeg("source.wav", n, "-strict", "-2", "-c:a", "dca"), "host"),
]

def wav_frames(name):
    """Frames, rate and 16-bit samples of a WAV output: a lossy source's
    comes as float under an extensible header."""
    rate = int(run("ffprobe", "-v", "error", "-show_entries", "stream=sample_rate", "-of",
                   "csv=p=0", name).stdout)
    pcm = run("ffmpeg", "-nostdin", "-v", "error", "-i", name, "-f", "s16le", "-ac", "2",
              "-").stdout
    return len(pcm) // 4, rate, pcm

def mp3_length(name):
    return len(run("ffmpeg", "-nostdin", "-v", "error", "-i", name, "-f", "s16le", "-").stdout) // (
        2 * int(run("ffprobe", "-v", "error", "-show_entries", "stream=channels", "-of", "csv=p=0",
                    name).stdout or 2))

for name, make, kind in FORMATS:
    make(name)
    rate = 48000 if "opus" in name else 44100
    expected = {"host": lambda: host_samples(name), "declared": lambda: declared_samples(name)}.get(
        kind, lambda: SAMPLES)()
    outputs = {fmt: os.path.join(work, f"{name}.{fmt}") for fmt in ("wav", "mp3")}
    for fmt, output in outputs.items():
        rc = zepc(winpath(path(name)), "-f", fmt, "-o", winpath(output), quiet=False,
                  environment=STOCK_WINDOWS)
        check(rc == 0 and "decoder: built-in" in zepc.stderr,
              f"{name} to {fmt}: exit code {rc}, {zepc.stderr.strip()[-200:]}")
    if not all(os.path.exists(output) for output in outputs.values()):
        continue
    frames, got_rate, pcm = wav_frames(outputs["wav"])
    check(got_rate == rate and frames == expected,
          f"{name}: {frames} samples at {got_rate} Hz, not {expected} at {rate}")
    if kind == "lossless":
        check(pcm == source_pcm, f"{name}: the WAV is not the source's PCM")
    check(mp3_length(outputs["mp3"]) == frames,
          f"{name}: the mp3 plays {mp3_length(outputs['mp3'])} samples, the WAV {frames}")

# The system's filters, asked for: by --decoder, and by the saved setting.
# On a stock Windows they have no FLAC decoder.
settings = f"HKCU\\Software\\{BRANCH}\\ZEP\\DATA"
for given, saved in ((["--decoder", "system"], None), ([], 1)):
    if saved is not None:
        run("wine", "reg", "add", settings, "/v", "Decoder", "/t", "REG_DWORD", "/d", str(saved),
            "/f")
    rc = zepc(winpath(path("source.wav")), "-f", "wav", "-o", winpath(os.path.join(work, "sys.wav")),
              *given, quiet=False, environment=STOCK_WINDOWS)
    check(rc == 0 and "decoder: system" in zepc.stderr and
          wav_frames(os.path.join(work, "sys.wav"))[2] == source_pcm,
          f"the system's filters asked for by {given or 'the setting'}: {rc} {zepc.stderr[-200:]}")
    rc = zepc(winpath(path("source.flac")), "-f", "wav", "-o", winpath(os.path.join(work, "sys2.wav")),
              *given, environment=STOCK_WINDOWS)
    check(rc == 915 & 255, f"FLAC on the system's filters of a stock Windows: exit code {rc}")
run("wine", "reg", "delete", f"HKCU\\Software\\{BRANCH}", "/f")

# Damaged inputs of every format: cut short, random bytes under its name,
# empty. Each ends in a valid output, or in a numbered error with no
# output; none crashes or hangs. A folder named like a file is a folder.
damaged = os.path.join(work, "damaged")
os.makedirs(damaged)
noise = random.Random(7)
NUMBERED = {915 & 255, 911 & 255, 901 & 255}
for name, _, _ in FORMATS:
    data = open(path(name), "rb").read()
    for case, content in (("cut", data[:len(data) * 3 // 5]),
                          ("noise", bytes(noise.getrandbits(8) for _ in range(65536))),
                          ("empty", b"")):
        damaged_input = os.path.join(damaged, f"{case}-{name}")
        open(damaged_input, "wb").write(content)
        output = damaged_input + ".wav"
        try:
            rc = zepc(winpath(damaged_input), "-f", "wav", "-o", winpath(output),
                      environment=STOCK_WINDOWS)
        except subprocess.TimeoutExpired:
            check(False, f"{case}-{name}: hangs")
            continue
        made = os.path.exists(output)
        valid = rc == 0 and made and run("ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i",
                                         output, "-f", "null", "-").returncode == 0
        check(valid or (rc in NUMBERED and not made) if case != "empty" else rc == 915 & 255,
              f"{case}-{name}: exit code {rc}, output {made}")
for name in ("folder.flac", "folder.m4a"):
    os.makedirs(os.path.join(damaged, name))
    rc = zepc(winpath(os.path.join(damaged, name)), "-f", "wav", environment=STOCK_WINDOWS)
    check(rc == 0 and not os.listdir(os.path.join(damaged, name)), f"{name}: exit code {rc}")
leftovers = [f for root, _, files in os.walk(work) for f in files if f.lower().startswith("~zep")]
check(not leftovers, f"temporary files left: {leftovers}")

report("the built-in decoder")
