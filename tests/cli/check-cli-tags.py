#!/usr/bin/python3
"""Usage: check-cli-tags.py DIST WORK MEDIA
ZEPc from a copy of the distribution carries each input kind's tags and
cover (FLAC, mp3 with ID3v2.4, Ogg Vorbis, WAV with LIST/INFO) into mp3,
Layer-3 WAV, WAV(ACM), FLAC and Opus outputs; a folder's files each their own; --no-tags
writes none, --tag sets over the input's; damaged tags still convert; a
Shift-JIS ID3v1 title is read as Japanese on a Japanese system. Runs inside
the test session; the host's mutagen reads every output."""
import base64, os, shutil, subprocess, sys
from importlib import import_module
from mutagen import flac, id3, mp3, oggopus, oggvorbis, wave

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "media"))
sys.path.insert(0, os.path.dirname(__file__))
from zepc_checks import check, install, report, winpath
FIELDS = import_module("make-tag-media").FIELDS
dist, work, media = sys.argv[1:4]
zepc = install(dist, work, "ZEPCliTagTest")

def vorbis_fields(path):
    """A FLAC's or an Opus's Vorbis comments as plain fields."""
    tags = (flac.FLAC if path.endswith(".flac") else oggopus.OggOpus)(path)
    text = lambda key: tags[key][0] if key in tags else None
    pair = lambda number, total: number and (number + "/" + text(total) if text(total) else number)
    if path.endswith(".flac"):
        pictures = tags.pictures
    else:
        pictures = [flac.Picture(base64.b64decode(value))
                    for value in tags.get("metadata_block_picture", [])]
    return {"title": text("title"), "artist": text("artist"), "album": text("album"),
            "albumartist": text("albumartist"), "genre": text("genre"),
            "track": pair(text("tracknumber"), "tracktotal"),
            "disc": pair(text("discnumber"), "disctotal"), "date": (text("date") or "")[:4] or None,
            "comment": text("comment"), "cover": pictures[0].data if pictures else None}

def fields(path):
    """The output's tags as plain fields; None without an ID3 tag."""
    if path.endswith((".flac", ".opus")):
        return vorbis_fields(path)
    tags = wave.WAVE(path).tags if path.endswith(".wav") else id3.ID3(path) if open(
        path, "rb").read(3) == b"ID3" else None
    if tags is None:
        return None
    text = lambda key: str(tags[key]) if key in tags else None
    comments = tags.getall("COMM")
    pictures = tags.getall("APIC")
    return {"title": text("TIT2"), "artist": text("TPE1"), "album": text("TALB"),
            "albumartist": text("TPE2"), "genre": text("TCON"), "track": text("TRCK"),
            "disc": text("TPOS"), "date": (text("TDRC") or "")[:4] or None,
            "comment": str(comments[0]) if comments else None,
            "cover": pictures[0].data if pictures else None}


cover = open(os.path.join(media, "cover.png"), "rb").read()
full = {"title": FIELDS["title"], "artist": FIELDS["artist"], "album": FIELDS["album"],
        "albumartist": FIELDS["albumartist"], "genre": FIELDS["genre"], "track": "3/12",
        "disc": "1/2", "date": FIELDS["date"][:4], "comment": FIELDS["comment"], "cover": cover}
info = {key: full[key] for key in ("title", "artist", "album", "genre", "date", "comment")}
info["track"] = "3"
for source, expected in (("tagged.flac", full), ("tagged.mp3", full), ("tagged.ogg", full),
                         ("info.wav", info)):
    for kind, extension in (("mp3", ".mp3"), ("l3wav", ".wav"), ("wav", ".wav"),
                            ("flac", ".flac"), ("opus", ".opus")):
        output = os.path.join(work, f"{source.replace('.', '-')}-{kind}{extension}")
        rc = zepc(winpath(os.path.join(media, source)), "-f", kind, "-o", winpath(output))
        got = fields(output) if rc == 0 else None
        for key, value in expected.items():
            check(got is not None and got[key] == value,
                  f"{source} to {kind}: {key} is {got and str(got[key])[:40]}, rc {rc}")

# The kinds the built-in decoder opens carry theirs too (into mp3, whose
# writing the loop above covers for every output).
for source in ("tagged.aiff", "tagged.wv", "tagged.m4a", "tagged.oga", "tagged.wma"):
    output = os.path.join(work, f"{source.replace('.', '-')}.mp3")
    rc = zepc(winpath(os.path.join(media, source)), "-f", "mp3", "-o", winpath(output))
    got = fields(output) if rc == 0 else None
    for key, value in full.items():
        check(got is not None and got[key] == value,
              f"{source} to mp3: {key} is {got and str(got[key])[:40]}, rc {rc}")

# A folder: each file keeps its own tags.
folder = os.path.join(work, "folder")
os.makedirs(folder)
for name, source, title in (("a.flac", "tagged.flac", "一 A"), ("b.ogg", "tagged.ogg", "二 B")):
    shutil.copy(os.path.join(media, source), os.path.join(folder, name))
    tags = (flac.FLAC if name.endswith("flac") else oggvorbis.OggVorbis)(os.path.join(folder, name))
    tags["title"] = title
    tags.save()
check(zepc(winpath(folder), "-f", "mp3", "-j", "2") == 0, "the folder did not convert")
for name, title in (("a.mp3", "一 A"), ("b.mp3", "二 B")):
    got = fields(os.path.join(folder, name)) if os.path.exists(os.path.join(folder, name)) else None
    check(got is not None and got["title"] == title, f"folder: {name} has {got and got['title']}")

# The choices: none of the input's tags, or fields set over them.
flac_input = winpath(os.path.join(media, "tagged.flac"))
plain, given = os.path.join(work, "none.mp3"), os.path.join(work, "given.mp3")
check(zepc(flac_input, "-f", "mp3", "-o", winpath(plain), "--no-tags") == 0 and
      fields(plain) is None, "--no-tags wrote a tag")
check(zepc(flac_input, "-f", "mp3", "-o", winpath(given), "--tag", "TITLE=上書き",
           "--tag", "ARTIST=") == 0, "--tag did not convert")
got = fields(given) or {}
check(got.get("title") == "上書き" and got.get("artist") is None and
      got.get("album") == FIELDS["album"], f"--tag: {got.get('title')}, {got.get('artist')}")

# Damaged tags never stop the audio: the output holds what the decoder
# gives without reading tags (the system's parser skips what a tag size
# beyond the file claims).
def seconds(path):
    text = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration",
                           "-of", "csv=p=0", path], capture_output=True, text=True).stdout
    return float(text or 0)

# The built-in decoder does not open the second, whose tag claims to run
# past the file's end; the system's parser finds a frame or more after it.
for source, least in (("truncated.mp3", 1.9), ("oversized.mp3", 0.02)):
    outputs = [os.path.join(work, f"damaged-{tags}-{source}") for tags in ("with", "without")]
    rcs = [zepc(winpath(os.path.join(media, source)), "-f", "mp3", "-o", winpath(output), *extra)
           for output, extra in zip(outputs, ([], ["--no-tags"]))]
    lengths = [seconds(output) for output in outputs]
    check(rcs == [0, 0] and lengths[0] >= least and abs(lengths[0] - lengths[1]) < 0.03,
          f"{source}: rc {rcs}, {lengths} s with and without tags")

# A cover at the reader's limit of 16 MiB is more than a FLAC picture block
# holds: the FLAC leaves it out and says so in one line; the formats that
# hold it keep it and say nothing.
limit = os.path.join(work, "cover-16mib.mp3")
subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-i", os.path.join(media, "tone.wav"),
                "-id3v2_version", "0", limit], check=True)
large_cover = cover + bytes((16 << 20) - 16 - len(cover))
tagged = mp3.MP3(limit)
tagged.add_tags()
tagged.tags.add(id3.TIT2(text="Limit"))
tagged.tags.add(id3.APIC(mime="image/png", type=3, desc="", data=large_cover))
tagged.save()
for kind, extension, kept in (("flac", ".flac", False), ("opus", ".opus", True),
                              ("mp3", ".mp3", True), ("l3wav", ".wav", True)):
    output = os.path.join(work, f"cover-16mib-{kind}{extension}")
    rc = zepc(winpath(limit), "-f", kind, "-o", winpath(output))
    said = zepc.stderr.count("Cover left out")
    got = fields(output) if rc == 0 else None
    check(got is not None and got["title"] == "Limit" and (got["cover"] == large_cover) == kept
          and said == (0 if kept else 1),
          f"a 16 MiB cover to {kind}: rc {rc}, cover kept {got and got['cover'] == large_cover}, "
          f"said {said} times")
os.remove(limit)

# Old Japanese collections: a Shift-JIS ID3v1 title on a Japanese system.
for language, japanese in (("ja_JP.UTF-8", True), ("en_US.UTF-8", False)):
    output = os.path.join(work, f"sjis-{language[:2]}.mp3")
    zepc(winpath(os.path.join(media, "sjis.mp3")), "-f", "mp3", "-o", winpath(output),
         language=language)
    title = (fields(output) or {}).get("title") if os.path.exists(output) else None
    check((title == "日本語のタイトル") == japanese, f"Shift-JIS in {language}: {title}")

report("command line tags")
