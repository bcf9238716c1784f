#pragma once
#include "tags/CTagRecord.h"
#include <string>

// Writes a record's tags into a finished output, closed, before it is put in
// place. Each returns 0, or kTagWriteFailed. An empty record writes nothing.
// coverLeftOut: whether the record's cover could not go in.

// ID3v2.3 with UTF-16 text at the start of an mp3 file, which every common
// player and Explorer read; any ID3v1 or APE tag is removed, none written.
// The LAME info frame stays the first frame after the tag.
int WriteMp3Tags(const std::wstring& path, const CTagRecord& record, bool* coverLeftOut = nullptr);

// A LIST/INFO chunk with the main fields and an id3 chunk with the whole
// record (ID3v2.3, UTF-16, the picture) at the end of a WAVE file of any
// format (PCM, ACM codecs, MPEG Layer 3). Where the chunks would carry the
// file past what the RIFF size can describe, the picture is left out, or
// then the whole tag.
int WriteWaveTags(const std::wstring& path, const CTagRecord& record, bool* coverLeftOut = nullptr);
