// Real encodes with our gogo.dll beside the test; check-mp3.sh reads the
// outputs with the host's ffprobe and ffmpeg afterwards.
#include "encode/CEncGOGO.h"
#include "settings/TestRegistryBranch.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>
#include <vector>

namespace {
std::wstring Media(const std::string& name) {
    const char* folder = std::getenv("ZEP_TEST_MP3_MEDIA");
    std::wstring path = L"Z:";
    for (char c : std::string(folder ? folder : "") + "/" + name)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

struct Wave {
    WAVEFORMATEX format{};
    std::vector<unsigned char> data;
};

uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

Wave ReadWave(const std::string& name) {
    Wave wave;
    HANDLE file = CreateFileW(Media(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    std::vector<unsigned char> bytes(file == INVALID_HANDLE_VALUE ? 0 : GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = Le32(&bytes[at + 4]);
        if (!std::memcmp(&bytes[at], "fmt ", 4))
            std::memcpy(&wave.format, &bytes[at + 8], 16);
        if (!std::memcmp(&bytes[at], "data", 4))
            wave.data.assign(bytes.begin() + at + 8, bytes.begin() + at + 8 + size);
        at += 8 + size + (size & 1);
    }
    return wave;
}

struct EncodeCase {
    const char* input;
    const char* output;
    int riff, encType, vbr, qual, kbps;
    size_t block; // 0: the whole input as one block of several megabytes
};

class CEncGOGOEncodes : public ::testing::TestWithParam<EncodeCase> {
  protected:
    TestRegistryBranch branch;
};
} // namespace

// Encodes the case's input into the file, in the case's blocks.
void Encode(const EncodeCase& c, const std::wstring& output) {
    Wave wave = ReadWave(c.input);
    ASSERT_FALSE(wave.data.empty()) << "run the mp3-media fixture first";
    CMp3Options settings;
    settings.channelMode = c.encType;
    settings.vbr = c.vbr;
    settings.vbrQuality = c.qual;
    settings.cbrKbps = settings.vbrKbps = c.kbps;
    CEncGOGO encoder;
    ASSERT_EQ(0, encoder.Start(wave.format, output, c.riff, settings));
    size_t block = c.block ? c.block : wave.data.size();
    for (size_t at = 0; at < wave.data.size(); at += block) {
        int count = static_cast<int>(std::min(block, wave.data.size() - at));
        ASSERT_EQ(0, encoder.Write(wave.data.data() + at, count)) << "at byte " << at;
    }
    EXPECT_EQ(0, encoder.Finish());
}

std::vector<char> Bytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

TEST_P(CEncGOGOEncodes, EncodesTheWholeInput) { Encode(GetParam(), Media(GetParam().output)); }

// Two conversions on two threads at once, with different settings, write
// the very files they write one at a time.
TEST(CEncGOGOThreads, EncodersOnTwoThreadsWriteWhatEachWritesAlone) {
    TestRegistryBranch branch;
    CGoGoStab library;
    ASSERT_EQ(0, library.Load());
    EXPECT_TRUE(library.HasThreadEncoders());
    const EncodeCase cases[] = {{"stereo44.wav", "alone-cbr.mp3", 0, 1, 0, 0, 128, 4096},
                                {"stereo44.wav", "alone-vbr.wav", 1, 2, 1, 4, 32, 7057}};
    for (const EncodeCase& c : cases)
        Encode(c, Media(c.output));
    std::thread first([&] { Encode(cases[0], Media("beside-cbr.mp3")); });
    std::thread second([&] { Encode(cases[1], Media("beside-vbr.wav")); });
    first.join();
    second.join();
    EXPECT_TRUE(Bytes(Media("beside-cbr.mp3")) == Bytes(Media("alone-cbr.mp3")));
    EXPECT_TRUE(Bytes(Media("beside-vbr.wav")) == Bytes(Media("alone-vbr.wav")));
    EXPECT_FALSE(Bytes(Media("alone-cbr.mp3")).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, CEncGOGOEncodes,
    ::testing::Values(EncodeCase{"stereo44.wav", "cbr128.mp3", 0, 1, 0, 0, 128, 0},
                      EncodeCase{"stereo44.wav", "cbr320.mp3", 0, 2, 0, 0, 320, 4096},
                      EncodeCase{"stereo44.wav", "vbr2.mp3", 0, 2, 1, 2, 32, 7057},
                      EncodeCase{"stereo44.wav", "vbr7.mp3", 0, 2, 1, 7, 32, 0},
                      EncodeCase{"stereo44.wav", "mono-mode.mp3", 0, 0, 0, 0, 96, 4096},
                      EncodeCase{"mono44.wav", "mono-input.mp3", 0, 1, 0, 0, 64, 3001},
                      EncodeCase{"stereo22.wav", "rate22.mp3", 0, 1, 0, 0, 64, 0},
                      EncodeCase{"stereo48.wav", "rate48.mp3", 0, 2, 0, 0, 192, 4096},
                      EncodeCase{"stereo96-24bit.wav", "rate96-24bit.mp3", 0, 2, 0, 0, 192, 0},
                      EncodeCase{"stereo44.wav", "layer3-cbr.wav", 1, 2, 0, 0, 128, 4096},
                      EncodeCase{"stereo44.wav", "layer3-vbr.wav", 1, 2, 1, 4, 32, 0}));

TEST(CEncGOGORefusals, ImpossibleSettingsAreRefusedByTheLibrary) {
    TestRegistryBranch branch;
    CMp3Options settings;
    settings.vbr = 0;
    settings.cbrKbps = 320;
    CEncGOGO encoder;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    EXPECT_EQ(-5, encoder.Start(format, Media("refused.mp3"), 0, settings)) << "320 at 22.05 kHz";
    EXPECT_EQ(0, encoder.Finish());
    format.nChannels = 3;
    settings.cbrKbps = 128;
    EXPECT_EQ(-3, encoder.Start(format, Media("refused.mp3"), 0, settings)) << "three channels";
    EXPECT_EQ(0, encoder.Finish());
}
