#pragma once
#include "decode/CDecAudio.h"
#include <cstdint>
#include <string>
#include <vector>

// Everything a decoder gave for one file, read to its end.
struct Decoded {
    int openResult = -1;
    WAVEFORMATEXTENSIBLE format = {};
    std::vector<unsigned char> bytes;
    int blocks = 0;
    DWORD endDelayMs = 0; // from the last block to the Read that reported the end
    int endError = -1;
    std::vector<int> progress;
};

void ReadToEnd(CDecAudio& decoder, Decoded& result);
// Opens path with the decoder and reads it to its end.
Decoded DecodeWith(CDecAudio& decoder, const std::wstring& path);

// The samples brought to 16 bits and at most two channels, as the mp3
// output takes them, once their rate and those channels were checked.
std::vector<int16_t> SixteenBitOf(const Decoded& decoded, int channels, DWORD rate);
