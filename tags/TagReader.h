#pragma once
#include "tags/CTagRecord.h"
#include <string>

// The tags and front cover of an audio file: ID3v1 and ID3v2.2-2.4 in mp3,
// Vorbis comments and pictures in FLAC and Ogg (Vorbis, Opus), LIST/INFO and
// id3 chunks in WAV, attributes in WMA. Where a file holds several tags, the
// first named wins field by field. Never fails: a damaged tag gives the
// fields that parsed, a picture over 16 MB is left out, and a missing or
// unknown file gives an empty record. On a Japanese system (ANSI code page
// 932), Latin-1 text of ID3 tags that is valid Shift-JIS is read as such.
CTagRecord ReadTags(const std::wstring& path);
