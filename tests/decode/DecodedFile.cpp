#include "DecodedFile.h"
#include "decode/CPCMBlockConverter.h"
#include <algorithm>
#include <cstring>
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
    const WAVEFORMATEX* format = decoder.GetFormat();
    std::memcpy(&result.format, format, std::min(sizeof result.format, sizeof *format + format->cbSize));
    ReadToEnd(decoder, result);
    decoder.Close();
    return result;
}

std::vector<int16_t> SixteenBitOf(const Decoded& decoded, int channels, DWORD rate) {
    CPcmFormat given, sixteen;
    EXPECT_TRUE(CPcmFormat::Read(decoded.format.Format, given));
    EXPECT_EQ(rate, given.rate);
    sixteen.rate = given.rate;
    sixteen.channels = std::min(given.channels, 2);
    EXPECT_EQ(channels, sixteen.channels);
    CPCMBlockConverter converter;
    std::vector<unsigned char> bytes = decoded.bytes;
    unsigned char* converted = nullptr;
    const int count = converter.Configure(given, sixteen)
                          ? converter.Convert(bytes.data(), static_cast<int>(bytes.size()), &converted)
                          : 0;
    std::vector<int16_t> samples(static_cast<size_t>(count) / 2);
    if (count > 0)
        std::memcpy(samples.data(), converted, static_cast<size_t>(count));
    return samples;
}
