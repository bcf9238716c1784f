#!/usr/bin/python3
"""Usage: check-cli-library.py DIST WORK
A music library through ZEPc's folder mode: a tree of albums (FLAC and M4A
with a cover, a cue sheet, a log and a text beside the tracks) to mp3 named
from the tags into an output folder inside the tree; reruns that skip or
update; a symbolic link back to a parent; names no Windows takes; a pattern
that climbs out; a file in the way of a folder; an output folder past 260
characters; two inputs of one name; a single-file rip's folder."""
import hashlib, os, subprocess, sys

sys.path.insert(0, os.path.dirname(__file__))
from zepc_checks import check, install, report, winpath

dist, work = sys.argv[1:3]
zepc = install(dist, work, "ZEPCliLibrary")
PATTERN = r"<albumartist>\<album>\<track> - <title>"
FORBIDDEN = set('<>:"/\\|?*')
DEVICES = {"CON", "PRN", "AUX", "NUL"} | {f"{p}{n}" for p in ("COM", "LPT") for n in range(1, 10)}

def run(*command):
    ran = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
    assert ran.returncode == 0, ran.stderr.decode(errors="replace")

def picture(path, color):
    run("ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i", f"color={color}:s=32x32",
        "-frames:v", "1", path)

def track(path, tags, cover=None):
    """A second of tone with its tags, its own front cover where given."""
    tone = path + ".wav"
    run("sox", "-n", "-r", "44100", "-c", "2", "-b", "16", tone, "synth", "1", "sine", "440")
    inputs = ["-i", tone] + (["-i", cover, "-map", "0", "-map", "1", "-c:v", "copy",
                              "-disposition:v", "attached_pic"] if cover else [])
    metadata = [a for k, v in tags.items() for a in ("-metadata", f"{k}={v}")]
    run("ffmpeg", "-nostdin", "-v", "error", "-y", *inputs, *metadata, path)
    os.remove(tone)

def library(root, albums):
    """albums: (folder, extension, album tags, embedded cover or None, titles).
    Each album folder also holds a cover.jpg, a .cue, a .log and a .txt."""
    for folder, extension, tags, embedded, titles in albums:
        where = os.path.join(root, folder)
        os.makedirs(where, exist_ok=True)
        picture(os.path.join(where, "cover.jpg"), "red")
        for extra in ("album.cue", "rip.log", "notes.txt"):
            open(os.path.join(where, extra), "w").write("not audio\n")
        for number, title in enumerate(titles, 1):
            track(os.path.join(where, f"{number:02d} {title}.{extension}"),
                  dict(tags, title=title, track=number), embedded)

def files(root):
    return sorted(os.path.relpath(os.path.join(d, f), root)
                  for d, _, names in os.walk(root) for f in names)

def state(root, names):
    """Each file's checksum and modification time."""
    return {n: (hashlib.md5(open(os.path.join(root, n), "rb").read()).hexdigest(),
                os.stat(os.path.join(root, n)).st_mtime_ns) for n in names}

def batch(folder, *options, summary=None):
    rc = zepc(winpath(folder), "-f", "mp3", "--bitrate", "64", *options)
    said = zepc.stdout.strip().splitlines()
    what = f"{os.path.basename(folder)} {' '.join(options)}"
    check(rc == 0 and "Error No." not in zepc.stderr,
          f"{what}: exit code {rc}, {zepc.stderr.strip()[-300:]}")
    if summary:
        check(said[-1:] == [summary], f"{what}: said {said[-1:]}, not {summary}")

def cover_of(mp3):
    from mutagen.id3 import ID3
    pictures = ID3(mp3).getall("APIC")
    return pictures[0].data if pictures else None

# The library: one album with covers of its own, one of M4A, and one whose
# album artist is not its artist; the output folder lies inside it.
tree = os.path.join(work, "tree")
picture(os.path.join(work, "own.png"), "blue")
albums = [
    (r"Alpha/First", "flac", {"artist": "Alpha", "album": "First"}, os.path.join(work, "own.png"),
     ["One", "Two", "Three", "Four"]),
    (r"Beta/Second", "m4a", {"artist": "Beta", "album": "Second"}, None,
     ["Five", "Six", "Seven", "Eight"]),
    (r"Various/Third", "flac", {"artist": "Guest", "album_artist": "Various", "album": "Third"},
     None, ["Nine", "Ten", "Eleven", "Twelve"]),
]
library(tree, albums)
out = os.path.join(tree, "mp3")
inputs = files(tree)
before = state(tree, inputs)
expected = sorted(os.path.join(artist, album, f"{n:02d} - {title}.mp3")
                  for folder, _, tags, _, titles in albums
                  for artist, album in [(tags.get("album_artist", tags["artist"]), tags["album"])]
                  for n, title in enumerate(titles, 1))
batch(tree, "-r", "-o", winpath(out), "--name", PATTERN,
      summary="12 converted, 0 failed, 12 passed over, 0 skipped")
check(files(out) == expected, f"the outputs are {files(out)}")
check(state(tree, inputs) == before, "an input changed")
red = open(os.path.join(tree, "Beta/Second/cover.jpg"), "rb").read()
for name in expected:
    own = name.startswith("Alpha")
    given = cover_of(os.path.join(out, name)) if os.path.exists(os.path.join(out, name)) else None
    check(given is not None and (given != red) == own,
          f"{name}: {'its own cover' if own else 'cover.jpg'} expected")

# Reruns: skip touches nothing and leaves the output folder out of the walk;
# a new track is the one converted; update converts the source made newer.
outputs = state(out, expected)
batch(tree, "-r", "-o", winpath(out), "--name", PATTERN, "--skip-existing",
      summary="0 converted, 0 failed, 12 passed over, 12 skipped")
check(state(out, expected) == outputs, "a skip rerun touched an output")
track(os.path.join(tree, "Beta/Second/09 Thirteen.m4a"), {"artist": "Beta", "album": "Second",
                                                          "title": "Thirteen", "track": 9})
batch(tree, "-r", "-o", winpath(out), "--name", PATTERN, "--skip-existing",
      summary="1 converted, 0 failed, 12 passed over, 12 skipped")
newer = os.path.join(tree, "Alpha/First/02 Two.flac")
stamp = os.stat(os.path.join(out, expected[1])).st_mtime + 60
os.utime(newer, (stamp, stamp))
outputs = state(out, expected)
batch(tree, "-r", "-o", winpath(out), "--name", PATTERN, "--update",
      summary="1 converted, 0 failed, 12 passed over, 12 skipped")
after = state(out, expected)
check([n for n in expected if after[n] != outputs[n]] == [expected[1]],
      "update converted another output than the newer source's")

# A symbolic link to a parent ends the walk; each file is converted once,
# mirrored under the output folder.
loop = os.path.join(work, "loop")
library(loop, [("Disc", "flac", {"artist": "L", "album": "Loop"}, None, ["A", "B"])])
os.symlink("..", os.path.join(loop, "Disc", "back"))
batch(loop, "-r", "-o", winpath(os.path.join(work, "loop-out")),
      summary="2 converted, 0 failed, 4 passed over, 0 skipped")
check(files(os.path.join(work, "loop-out")) == ["Disc/01 A.mp3", "Disc/02 B.mp3"],
      f"the loop's outputs are {files(os.path.join(work, 'loop-out'))}")

# Names Windows forbids or reserves, Japanese text, an empty album, and an
# album that climbs: legal names, all inside the output folder.
odd = os.path.join(work, "odd")
for n, (artist, album, title) in enumerate([("Who?", "A: B", "Star*"), ("X", "", "End."),
                                            ("X", "Y", "CON"), ("日本語", "アルバム", "曲"),
                                            ("Z", r"..\..\x", "Up")]):
    os.makedirs(odd, exist_ok=True)
    track(os.path.join(odd, f"{n}.flac"), {"artist": artist, "album": album, "title": title})
odd_out = os.path.join(work, "odd-out")
batch(odd, "-o", winpath(odd_out), "--name", PATTERN,
      summary="5 converted, 0 failed, 0 passed over, 0 skipped")
made = files(odd_out)
check(len(made) == 5, f"the odd names gave {made}")
for name in made:
    for part in name.split("/"):
        check(not FORBIDDEN & set(part) and part == part.rstrip(". ") and
              part.split(".")[0].upper() not in DEVICES, f"{name}: {part} is not a legal name")
check("日本語/アルバム/曲.mp3" in made and "X/Unknown Album/End.mp3" in made, f"names: {made}")
strays = [f for f in files(work) if f.endswith(".mp3") and not f.startswith(("tree/", "loop-out/",
                                                                             "odd-out/"))]
check(not strays, f"outputs outside their folders: {strays}")
for climbing in (r"..\<title>", r"C:\<title>", "<nothing>"):
    rc = zepc(winpath(odd), "-f", "mp3", "-o", winpath(odd_out), "--name", climbing)
    check(rc == 2, f"--name {climbing}: exit code {rc}, not the usage mistake")

# A file where a folder must be made fails those inputs alone; an output
# folder past 260 characters is written through the long-path form.
blocked = os.path.join(work, "blocked")
os.makedirs(blocked)
open(os.path.join(blocked, "X"), "w").write("in the way\n")
rc = zepc(winpath(odd), "-f", "mp3", "-o", winpath(blocked), "--name", PATTERN)
check(rc != 0 and zepc.stderr.count("Error No.6401") == 2 and
      zepc.stdout.strip().endswith("3 converted, 2 failed, 0 passed over, 0 skipped"),
      f"a folder in the way: exit code {rc}, {zepc.stdout.strip()[-80:]} {zepc.stderr.strip()[-200:]}")
deep = os.path.join(work, *["d" * 90] * 3)
batch(odd, "-o", winpath(deep), summary="5 converted, 0 failed, 0 passed over, 0 skipped")
check(len(files(deep)) == 5 and len(winpath(os.path.join(deep, "0.mp3"))) > 260,
      f"the deep output folder holds {files(deep) if os.path.isdir(deep) else 'nothing'}")

# Two inputs the pattern names alike: the next free name, or with skip an
# error line naming both, the second not converted.
rc = zepc(winpath(odd), "-f", "mp3", "-o", winpath(odd_out), "--name", "<artist>",
          "--skip-existing")
check(rc != 0 and "Error No.6402" in zepc.stderr and
      all(winpath(os.path.join(odd, f"{n}.flac")) in zepc.stderr for n in (1, 2)),
      f"a clash: exit code {rc}, {zepc.stderr.strip()[-300:]}")
check(os.path.exists(os.path.join(odd_out, "X.mp3")), "the first of the clash was not converted")

# A single-file rip: the track keeps its own name beside the cue and log.
rip = os.path.join(work, "rip")
library(rip, [(".", "flac", {"artist": "R", "album": "Rip"}, None, ["Album"])])
batch(rip, summary="1 converted, 0 failed, 4 passed over, 0 skipped")
check("01 Album.mp3" in files(rip), f"the rip's output: {files(rip)}")
report("cli.library")
