#include "DecodedFile.h"
#include <gtest/gtest.h>

void ReadToEnd(CDecAudio& decoder, Decoded& result) {
    DWORD lastBlock = GetTickCount();
    for (;;) {
        result.progress.push_back(decoder.GetProgress());
        unsigned char* block = nullptr;
        int count = decoder.Read(&block, 2048);
        if (count < 1) {
            result.endDelayMs = GetTickCount() - lastBlock;
            result.endError = decoder.GetEndError();
            return;
        }
        lastBlock = GetTickCount();
        result.bytes.insert(result.bytes.end(), block, block + count);
        ++result.blocks;
    }
}

Decoded DecodeWith(CDecAudio& decoder, const std::wstring& path) {
    Decoded result;
    result.openResult = decoder.Open(path.c_str());
    if (result.openResult != 0)
        return result;
    result.format = *decoder.GetFormat();
    ReadToEnd(decoder, result);
    decoder.Close();
    return result;
}

void ExpectSixteenBit(const WAVEFORMATEX& format, int channels, DWORD rate) {
    EXPECT_EQ(WAVE_FORMAT_PCM, format.wFormatTag);
    EXPECT_EQ(16, format.wBitsPerSample);
    EXPECT_EQ(channels, format.nChannels);
    EXPECT_EQ(rate, format.nSamplesPerSec);
    EXPECT_EQ(channels * 2, format.nBlockAlign);
    EXPECT_EQ(rate * channels * 2, format.nAvgBytesPerSec);
    EXPECT_EQ(0, format.cbSize);
}
