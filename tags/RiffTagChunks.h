#pragma once
#include "tags/CTagRecord.h"
#include <string>
#include <vector>

using CChunkBytes = std::vector<unsigned char>;

// A RIFF chunk whole: its four-character id, little-endian size, body and
// the pad byte an odd size needs.
CChunkBytes RiffChunk(const char* id, const CChunkBytes& body);
// The LIST/INFO chunk of the record's main fields, in UTF-8 as TagLib and
// ffmpeg write it; empty when the record has none of them.
CChunkBytes InfoListChunk(const CTagRecord& record);

// Puts chunks at the end of a RIFF WAVE file, in place of the tag chunks
// (LIST/INFO, id3) that may end it, and sets the RIFF size to match. Takes the
// first of the choices that keeps the file within what the 32-bit RIFF size
// can describe, and writes nothing when none does. 0, or kTagWriteFailed when
// the file is no RIFF WAVE file whose chunks lie within it, or a write fails
// (the file then ends without tag chunks, its sizes right). taken: the
// index of the choice written, the number of choices when none was.
int PutTagChunks(const std::wstring& path, const std::vector<CChunkBytes>& choices,
                 size_t* taken = nullptr);
