#!/usr/bin/python3
"""Usage: check-cli-split.py DIST WORK
One file's mp3 encoded on several threads (ZEPc --threads N) against the
single encoder (--threads 1), at 128 kbit/s CBR and at VBR quality 2, for a
music-like input (the bench's sweeps with noise) and a transient-rich one
(noise bursts over a quiet tone); and at the low rates without an info
frame, 32 kbit/s stereo and 24 kbit/s for 22.05 kHz mono. The split stream is the same for 2, 3
and 4 threads, passes mp3val without a warning, decodes without an error,
has the single encoder's frame count within one, and decodes gaplessly to
the input's length. Its noise-to-signal ratio per 1152-sample frame stays
within 0.5 dB of the single encoder's at the median, 1 dB at the 99th
percentile and 3 dB at the worst frame; the figures are printed."""
import array, math, os, subprocess, sys

sys.path.insert(0, os.path.dirname(__file__))
from zepc_checks import check, install, report, winpath

dist, work = sys.argv[1:3]
zepc = install(dist, work, "ZEPCliSplit")
SECONDS = 40 # about six blocks of frames

def run(*command):
    return subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=300)

def samples(path):
    data = array.array("h")
    data.frombytes(run("ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "s16le", "-").stdout)
    return data

def frame_nsr(source, decoded, channels=2, size=1152):
    """Each frame's noise-to-signal ratio in dB; silent frames are left out."""
    ratios, step = [], size * channels
    for at in range(0, min(len(source), len(decoded)) - step + 1, step):
        signal = sum(x * x for x in source[at:at + step])
        if signal:
            noise = sum((a - b) ** 2 for a, b in zip(source[at:at + step], decoded[at:at + step]))
            ratios.append(10 * math.log10((noise + 1e-3) / signal))
    return sorted(ratios)

def figures(ratios):
    return ratios[len(ratios) // 2], ratios[len(ratios) * 99 // 100], ratios[-1]

def frame_count(path):
    text = run("ffprobe", "-v", "error", "-count_frames", "-select_streams", "a:0", "-show_entries",
               "stream=nb_read_frames", "-of", "csv=p=0", path).stdout
    return int(text or 0)

music, clicks = os.path.join(work, "music.wav"), os.path.join(work, "clicks.wav")
run("sox", "-n", "-r", "44100", "-b", "16", "-c", "2", music, "synth", str(SECONDS),
    "sine", "200-2000", "sine", "300-1200", "synth", "pinknoise", "mix", "gain", "-8")
bursts, tone = os.path.join(work, "bursts.wav"), os.path.join(work, "tone.wav")
run("sox", "-n", "-r", "44100", "-b", "16", "-c", "2", bursts, "synth", "0.01", "whitenoise",
    "gain", "-3", "pad", "0", "0.24", "repeat", str(SECONDS * 4 - 1))
run("sox", "-n", "-r", "44100", "-b", "16", "-c", "2", tone, "synth", str(SECONDS), "sine", "440",
    "gain", "-30")
run("sox", "-m", bursts, tone, clicks)

# The low rates where LAME writes no info frame: 32 kbit/s stereo, and
# speech-like 22.05 kHz mono at 24 kbit/s (half the frame size), against two
# threads only. Without the frame a decoder trims nothing: the sound comes
# LAME's delay and the decoder's (576 and 529 samples) late.
speech = os.path.join(work, "speech.wav")
run("sox", music, "-r", "22050", "-c", "1", speech)
cases = [(source, mode, options, (1, 2, 3, 4)) for source in (music, clicks)
         for mode, options in (("CBR 128", ["--bitrate", "128"]), ("VBR 2", ["--vbr", "2"]))]
cases += [(music, "CBR 32", ["--bitrate", "32"], (1, 2)),
          (speech, "CBR 24", ["--bitrate", "24"], (1, 2))]
for source, mode, options, thread_counts in cases:
    reference = samples(source)
    what = f"{os.path.basename(source)}, {mode}"
    outputs = {}
    for threads in thread_counts:
        outputs[threads] = os.path.join(work, f"{os.path.basename(source)}-{mode.replace(' ', '')}-{threads}.mp3")
        # A tag, as music files carry: mp3val warns of a file without one.
        rc = zepc(winpath(source), "-f", "mp3", "--mode", "joint", *options, "--threads",
                  str(threads), "--tag", "TITLE=split", "-o", winpath(outputs[threads]))
        check(rc == 0, f"{what}, {threads} threads: exit code {rc}")
    if not all(os.path.exists(path) for path in outputs.values()):
        continue
    split = outputs[2]
    same = [open(outputs[n], "rb").read() == open(split, "rb").read() for n in thread_counts[2:]]
    check(all(same), f"{what}: 3 and 4 threads differ from 2: {same}")
    checked = run("mp3val", split).stdout.decode(errors="replace")
    check("WARNING" not in checked and "ERROR" not in checked, f"{what}: mp3val: {checked}")
    decoded = run("ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i", split, "-f", "null", "-")
    check(decoded.returncode == 0 and not decoded.stderr, f"{what}: {decoded.stderr[:200]}")
    frames = (frame_count(outputs[1]), frame_count(split))
    check(abs(frames[0] - frames[1]) <= 1, f"{what}: {frames[1]} frames, single {frames[0]}")
    single, joined = samples(outputs[1]), samples(split)
    channels = 1 if source == speech else 2
    if mode in ("CBR 32", "CBR 24"):
        check(len(joined) == len(single), f"{what}: {len(joined)} samples, single {len(single)}")
        single, joined = single[1105 * channels:], joined[1105 * channels:]
    else:
        check(len(joined) == len(reference), f"{what}: {len(joined)} samples, not {len(reference)}")
    size = 576 if source == speech else 1152
    one = figures(frame_nsr(reference, single, channels, size))
    many = figures(frame_nsr(reference, joined, channels, size))
    print(f"{what}: NSR dB median/99th/worst, single {one[0]:.2f}/{one[1]:.2f}/{one[2]:.2f},"
          f" split {many[0]:.2f}/{many[1]:.2f}/{many[2]:.2f}")
    for name, bound, a, b in zip(("median", "99th percentile", "worst frame"), (0.5, 1, 3),
                                 one, many):
        check(b - a <= bound, f"{what}: {name} {b - a:+.2f} dB against the single encoder")

report("one file on several threads")
