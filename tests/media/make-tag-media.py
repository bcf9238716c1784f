#!/usr/bin/python3
"""Usage: make-tag-media.py OUTDIR [--big]
Makes the inputs of the tag tests with the host's sox, ffmpeg, ImageMagick
and mutagen, once per build: every input kind with the same fields and
cover, Shift-JIS in ID3 tags, damaged tags, and the untagged outputs the
tests write tags into. --big makes only the input with a 50 MB picture,
which is deleted after its test. check-tags.py takes FIELDS from here."""
import base64, os, shutil, struct, subprocess, sys
from mutagen import aiff, apev2, asf, flac, id3, mp3, mp4, oggflac, oggvorbis, wave

FIELDS = {"title": "夜明け Dawn", "artist": "アーティスト Artist", "album": "アルバム Album",
          "albumartist": "様々 Various", "composer": "作曲者 Composer", "genre": "J-Pop",
          "date": "2023-05-01", "comment": "コメント Comment", "mood": "静か"}

def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)

def encode(output, *options):
    run("ffmpeg", "-nostdin", "-v", "error", "-y", "-i", "tone.wav", *options, output)

def picture(data):
    p = flac.Picture()
    p.type, p.mime, p.desc, p.data = 3, "image/png", "表紙", data
    return p

def save_id3(path, frames, encoding, version=4):
    holder = {".wav": wave.WAVE, ".aiff": aiff.AIFF}.get(path[path.rfind("."):], mp3.MP3)(path)
    holder.add_tags()
    for frame in frames:
        frame.encoding = encoding
        holder.tags.add(frame)
    holder.save(v2_version=version)

def full_id3(cover):
    f = FIELDS
    return [id3.TIT2(text=f["title"]), id3.TPE1(text=f["artist"]), id3.TALB(text=f["album"]),
            id3.TPE2(text=f["albumartist"]), id3.TCOM(text=f["composer"]),
            id3.TCON(text=f["genre"]), id3.TDRC(text=f["date"]), id3.TMOO(text=f["mood"]),
            id3.TRCK(text="3/12"), id3.TPOS(text="1/2"),
            id3.COMM(lang="eng", desc="", text=f["comment"]),
            id3.APIC(mime="image/png", type=3, desc="表紙", data=cover)]

def chunk(cid, data, pad=True):
    return cid + struct.pack("<I", len(data)) + data + (b"\0" if pad and len(data) % 2 else b"")

def riff(*chunks):
    return chunk(b"RIFF", b"WAVE" + b"".join(chunks))

def main():
    run("sox", "-n", "-r", "44100", "-b", "16", "-c", "2", "tone.wav", "synth", "2", "sine", "440")
    run("convert", "-size", "32x32", "gradient:red-blue", "cover.png")
    run("convert", "-size", "600x600", "xc:", "+noise", "Random", "-depth", "8", "cover-1mb.png")
    cover = open("cover.png", "rb").read()
    for name, numbers, options in (
            ("tagged.flac", {"tracknumber": "3", "tracktotal": "12", "discnumber": "1",
                             "disctotal": "2"}, []),
            ("tagged.ogg", {"tracknumber": "3/12", "discnumber": "1/2"}, ["-c:a", "libvorbis"])):
        encode(name, *options)
        tags = (flac.FLAC if name.endswith("flac") else oggvorbis.OggVorbis)(name)
        tags.update(FIELDS)
        tags.update(numbers)
        if name.endswith("flac"):
            tags.add_picture(picture(cover))
        else:
            tags["metadata_block_picture"] = base64.b64encode(picture(cover).write()).decode()
        tags.save()
    encode("cover-1mb.flac")
    tags = flac.FLAC("cover-1mb.flac")
    tags.add_picture(picture(open("cover-1mb.png", "rb").read()))
    tags.save()
    encode("tagged.wma", "-c:a", "wmav2")
    tags = asf.ASF("tagged.wma")
    tags.tags.clear()
    for key, name in (("title", "Title"), ("artist", "Author"), ("album", "WM/AlbumTitle"),
                      ("albumartist", "WM/AlbumArtist"), ("composer", "WM/Composer"),
                      ("genre", "WM/Genre"), ("date", "WM/Year"), ("comment", "Description"),
                      ("mood", "WM/Mood")):
        tags[name] = FIELDS[key]
    tags["WM/PartOfSet"] = "1/2"
    tags["WM/TrackNumber"], tags["TOTALTRACKS"] = asf.ASFDWordAttribute(3), asf.ASFDWordAttribute(12)
    text = lambda s: s.encode("utf-16-le") + b"\0\0"
    tags["WM/Picture"] = asf.ASFByteArrayAttribute(struct.pack("<BI", 3, len(cover)) + text(
        "image/png") + text("表紙") + cover)
    tags.save()
    encode("tagged.mp3", "-id3v2_version", "0")
    save_id3("tagged.mp3", full_id3(cover), id3.Encoding.UTF8)
    # The kinds the built-in decoder opens: ID3 in AIFF, APEv2 with its cover
    # item in WavPack, MP4 atoms with covr, pictures in Ogg FLAC.
    encode("tagged.aiff")
    save_id3("tagged.aiff", full_id3(cover), id3.Encoding.UTF16, 3)
    encode("tagged.wv", "-c:a", "wavpack")
    ape = apev2.APEv2()
    f = FIELDS
    for key, value in (("Title", f["title"]), ("Artist", f["artist"]), ("Album", f["album"]),
                       ("Album Artist", f["albumartist"]), ("Composer", f["composer"]),
                       ("Genre", f["genre"]), ("Year", f["date"]), ("Comment", f["comment"]),
                       ("Track", "3/12"), ("Disc", "1/2")):
        ape[key] = value
    ape["Cover Art (Front)"] = apev2.APEValue(b"cover.png\0" + cover, apev2.BINARY)
    ape.save("tagged.wv")
    encode("tagged.m4a", "-c:a", "aac")
    tags = mp4.MP4("tagged.m4a")
    tags.update({"\xa9nam": f["title"], "\xa9ART": f["artist"], "\xa9alb": f["album"],
                 "aART": f["albumartist"], "\xa9wrt": f["composer"], "\xa9gen": f["genre"],
                 "\xa9day": f["date"], "\xa9cmt": f["comment"], "trkn": [(3, 12)],
                 "disk": [(1, 2)], "covr": [mp4.MP4Cover(cover, mp4.MP4Cover.FORMAT_PNG)]})
    tags.save()
    encode("tagged.oga", "-c:a", "flac", "-f", "ogg")
    tags = oggflac.OggFLAC("tagged.oga")
    tags.update(FIELDS)
    tags.update({"tracknumber": "3", "tracktotal": "12", "discnumber": "1", "disctotal": "2"})
    tags["metadata_block_picture"] = base64.b64encode(picture(cover).write()).decode()
    tags.save()
    # WAV: everything in an id3 chunk (ID3v2.3, UTF-16), or what LIST/INFO
    # holds in UTF-8.
    shutil.copy("tone.wav", "id3.wav")
    save_id3("id3.wav", full_id3(cover), id3.Encoding.UTF16, 3)
    pcm = open("tone.wav", "rb").read()[12:]
    info = [chunk(cid, FIELDS[key].encode() + b"\0") for cid, key in (
        (b"INAM", "title"), (b"IART", "artist"), (b"IPRD", "album"), (b"ICRD", "date"),
        (b"IGNR", "genre"), (b"ICMT", "comment"))]
    open("info.wav", "wb").write(riff(pcm, chunk(b"LIST", b"".join([b"INFO", *info,
                                                                    chunk(b"ITRK", b"3\0")]))))
    # Shift-JIS in ID3v1 and in an ID3v2 frame marked Latin-1, and Latin-1
    # that is no Shift-JIS.
    encode("sjis.mp3", "-id3v2_version", "0")
    sjis = "アルバム".encode("cp932").decode("latin-1")
    save_id3("sjis.mp3", [id3.TALB(text=sjis)], id3.Encoding.LATIN1, 3)
    open("sjis.mp3", "ab").write(struct.pack(
        "3s30s30s30s4s28sBBB", b"TAG", "日本語のタイトル".encode("cp932"),
        "Beyoncé".encode("latin-1"), b"", b"2001", b"", 0, 7, 255))
    # Damage: a frame longer than its tag, and a tag longer than its file.
    for name, damage in (("truncated.mp3", lambda b: b.replace(b"TALB\0\0\0", b"TALB\x7f\x7f\x7f")),
                         ("oversized.mp3", lambda b: b[:6] + b"\x7f\x7f\x7f\x7f" + b[10:])):
        encode(name, "-id3v2_version", "0")
        frames = [id3.TIT2(text="Title"), id3.TPE1(text="Artist"), id3.TALB(text="Album")]
        save_id3(name, frames, id3.Encoding.UTF16)
        damaged = damage(open(name, "rb").read())
        open(name, "wb").write(damaged)
    # Outputs to tag: an mp3 with a LAME info frame and old ID3v2 and ID3v1
    # tags; PCM and Layer-3 WAVE files, and one whose odd data chunk lacks
    # its pad byte.
    encode("plain.mp3", "-metadata", "title=Old", "-write_id3v1", "1")
    shutil.copy("tone.wav", "pcm.wav")
    encode("l3.wav", "-c:a", "libmp3lame", "-fflags", "+bitexact", "-f", "wav")
    open("odd.wav", "wb").write(riff(pcm[:24], chunk(b"data", pcm[32:32 + 1001], pad=False)))

def big_picture():
    encode("big-picture.mp3", "-id3v2_version", "0")
    frames = [id3.TIT2(text="Big"), id3.APIC(mime="image/png", type=3, data=bytes(50 << 20))]
    save_id3("big-picture.mp3", frames, id3.Encoding.UTF8)

if __name__ == "__main__":
    stamp = os.path.join(sys.argv[1], ".complete-v3")
    if "--big" not in sys.argv and os.path.exists(stamp):
        sys.exit(0)
    os.makedirs(sys.argv[1], exist_ok=True)
    os.chdir(sys.argv[1])
    if "--big" in sys.argv:
        big_picture()
    else:
        main()
        open(stamp, "w").close()
