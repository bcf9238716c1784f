#pragma once
#include "tags/CTagRecord.h"
#include <string>
#include <utility>
#include <vector>

// A record as Vorbis comments, the tags of FLAC and Ogg Opus: (NAME, value)
// in UTF-8, the names as players read them (TITLE, ARTIST, ALBUMARTIST,
// TRACKNUMBER and TRACKTOTAL, ...). A name a comment cannot carry (empty,
// "=" or outside printable ASCII) is left out. The cover is not among them.
std::vector<std::pair<std::string, std::string>> VorbisComments(const CTagRecord& record);
