#pragma once
#include "decode/CDecAudio.h"
#include <string>
#include <vector>

// Everything a decoder gave for one file, read to its end.
struct Decoded {
    int openResult = -1;
    WAVEFORMATEX format = {};
    std::vector<unsigned char> bytes;
    int blocks = 0;
    DWORD endDelayMs = 0; // from the last block to the Read that reported the end
    int endError = -1;
    std::vector<int> progress;
};

void ReadToEnd(CDecAudio& decoder, Decoded& result);
// Opens path with the decoder and reads it to its end.
Decoded DecodeWith(CDecAudio& decoder, const std::wstring& path);

void ExpectSixteenBit(const WAVEFORMATEX& format, int channels, DWORD rate);
