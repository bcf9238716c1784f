#!/usr/bin/python3
"""Usage: check-tags.py MEDIA
Reads with the host's mutagen, ffprobe and ffmpeg the tags that tags_tests
wrote into copies of the untagged outputs (tagged-*.mp3, tagged-*.wav):
ID3v2.3 in UTF-16 with every field and the cover byte for byte, no ID3v1,
the LAME info frame first after the tag and the same decoded audio; in WAVE
files the LIST/INFO and id3 chunks, RIFF sizes that add up, the audio
chunks untouched."""
import json, os, struct, subprocess, sys
from mutagen import id3, mp3, wave

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "media"))
from importlib import import_module
FIELDS = import_module("make-tag-media").FIELDS

media = sys.argv[1]
failures = []

def check(ok, what):
    if not ok:
        failures.append(what)

def chunks(data, strict=True):
    """The RIFF chunks as (id, body); None where their sizes do not add up
    (strict), or leaving out a missing last pad byte."""
    if data[:4] != b"RIFF" or strict and struct.unpack("<I", data[4:8])[0] != len(data) - 8:
        return None
    found, offset = [], 12
    while offset + 8 <= len(data):
        cid, size = data[offset:offset + 4], struct.unpack("<I", data[offset + 4:offset + 8])[0]
        found.append((cid, data[offset + 8:offset + 8 + size]))
        offset += 8 + size + size % 2
    return found if offset == len(data) or not strict else None

def pcm(path):
    return subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i", path,
                           "-f", "s16le", "-"], capture_output=True).stdout

def check_id3(name, tags):
    expected = {"TIT2": FIELDS["title"], "TPE1": FIELDS["artist"], "TALB": FIELDS["album"],
                "TPE2": FIELDS["albumartist"], "TCOM": FIELDS["composer"], "TCON": FIELDS["genre"],
                "TYER": FIELDS["date"][:4], "TRCK": "3/12", "TPOS": "1/2",
                "COMM::eng": FIELDS["comment"], "TXXX:MOOD": FIELDS["mood"]}
    check(tags is not None and tags.version == (2, 3, 0), f"{name}: no ID3v2.3 tag")
    for key, text in expected.items():
        frame = tags.get(key) if tags else None
        check(frame is not None and frame.text == [text], f"{name}: {key} is {frame}")
        # TagLib writes the genre in its ID3v2.3 form, Latin-1 where that holds it.
        check(key == "TCON" or (frame and frame.encoding == id3.Encoding.UTF16),
              f"{name}: {key} not in UTF-16")
    pictures = tags.getall("APIC") if tags else []
    cover = open(os.path.join(media, "cover.png"), "rb").read()
    check(len(pictures) == 1 and pictures[0].type == 3 and pictures[0].mime == "image/png"
          and pictures[0].desc == "表紙" and pictures[0].data == cover, f"{name}: cover")

def check_mp3(name, source):
    path = os.path.join(media, name)
    data = open(path, "rb").read()
    check_id3(name, mp3.MP3(path, translate=False).tags)
    check(data[-128:-125] != b"TAG" and b"APETAGEX" not in data[-200:],
          f"{name}: ID3v1 or APE left")
    # The LAME info frame, whose delay and padding make decoding gapless.
    start = id3.ID3(path).size
    check(data[start] == 0xFF and data[start + 36:start + 40] in (b"Info", b"Xing"),
          f"{name}: the first frame after the tag is no LAME info frame")
    decoded = pcm(path)
    check(decoded and decoded == pcm(os.path.join(media, source)), f"{name}: audio differs")
    check(len(decoded) == 2 * 2 * 44100 * 2, f"{name}: {len(decoded) // 4} samples, not 88200")

def check_wave(name, source, layout):
    path = os.path.join(media, name)
    found = chunks(open(path, "rb").read())
    before = dict(chunks(open(os.path.join(media, source), "rb").read(), strict=False))
    ids = [c for c, _ in found or []]
    check(ids == layout, f"{name}: chunks {ids}, RIFF sizes {'right' if found else 'wrong'}")
    if not found:
        return
    body = dict(found)
    check(all(body[c] == before.get(c) for c in layout if c not in (b"LIST", b"id3 ")),
          f"{name}: the audio chunks changed")
    # ffprobe reads LIST/INFO: the full date, the track without its count.
    probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_entries",
                                       "format_tags", path], capture_output=True).stdout)
    info = probe.get("format", {}).get("tags", {})
    for key in ("title", "artist", "album", "date", "genre", "comment"):
        check(info.get(key) == FIELDS[key], f"{name}: INFO {key} is {info.get(key)}")
    check(info.get("track") == "3", f"{name}: INFO track is {info.get('track')}")
    check_id3(name, wave.WAVE(path, translate=False).tags)
    check(pcm(path) == pcm(os.path.join(media, source)), f"{name}: audio differs")

check_mp3("tagged-plain.mp3", "plain.mp3")
check_wave("tagged-pcm.wav", "pcm.wav", [b"fmt ", b"data", b"LIST", b"id3 "])
check_wave("tagged-l3.wav", "l3.wav", [b"fmt ", b"fact", b"data", b"LIST", b"id3 "])
check_wave("tagged-odd.wav", "odd.wav", [b"fmt ", b"data", b"LIST", b"id3 "])
for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
print(f"check-tags: {len(failures)} failures")
sys.exit(1 if failures else 0)
