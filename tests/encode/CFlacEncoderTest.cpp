// The FLAC encoder on several threads and its verifier, on samples made here.
#include "encode/CFlacEncoder.h"
#include "encode/CFlacVerifier.h"
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

// A sweep over noise: every frame different, as music is.
std::vector<FLAC__int32> Music(int bits, int channels, int frames) {
    std::vector<FLAC__int32> samples;
    uint32_t noise = 1;
    const double top = std::ldexp(0.4, bits - 1);
    for (int at = 0; at < frames; ++at)
        for (int channel = 0; channel < channels; ++channel) {
            noise = noise * 1664525u + 1013904223u;
            samples.push_back(static_cast<FLAC__int32>(
                top * std::sin(at * (0.01 + at * 1e-7) + channel) + (noise >> 24) - 128));
        }
    return samples;
}

std::vector<unsigned char> Packed(const std::vector<FLAC__int32>& samples, int bits) {
    std::vector<unsigned char> bytes;
    for (FLAC__int32 sample : samples)
        for (int byte = 0; byte < bits / 8; ++byte)
            bytes.push_back(static_cast<unsigned char>(sample >> (8 * byte)));
    return bytes;
}

std::vector<unsigned char> ReadAll(const std::wstring& path) {
    std::ifstream file(std::string(path.begin(), path.end()), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The samples encoded into a file of their own: its bytes, once Finish gave result.
std::vector<unsigned char> Encode(const std::vector<FLAC__int32>& samples, int bits, int channels,
                                  int threads, bool verify, int& result) {
    CPcmFormat format;
    format.bits = bits;
    format.channels = channels;
    const WAVEFORMATEXTENSIBLE wave = format.Wave();
    CFlacOptions options;
    options.threads = threads;
    options.verify = verify;
    CFlacEncoder encoder(options);
    const std::wstring path = L"zep-flac-test-" + std::to_wstring(threads) + L".flac";
    result = encoder.Open(wave.Format, path);
    std::vector<unsigned char> bytes = Packed(samples, bits);
    const int block = 4410 * format.BytesPerFrame(); // not a whole number of FLAC frames
    for (size_t at = 0; result == 0 && at < bytes.size(); at += block)
        result = encoder.Write(bytes.data() + at, static_cast<int>(std::min<size_t>(block, bytes.size() - at)));
    const int finished = encoder.Finish();
    result = result ? result : finished;
    std::vector<unsigned char> file = ReadAll(path);
    DeleteFileW(path.c_str());
    return file;
}

} // namespace

// The same bytes on any number of threads, verified, at 16 and 24 bits.
TEST(CFlacEncoder, TheBytesAreTheSameOnAnyNumberOfThreads) {
    for (int bits : {16, 24}) {
        SCOPED_TRACE(bits);
        const std::vector<FLAC__int32> music = Music(bits, 2, 3 * 44100);
        int result = -1;
        const std::vector<unsigned char> one = Encode(music, bits, 2, 1, true, result);
        ASSERT_EQ(0, result);
        for (int threads : {2, 3}) {
            EXPECT_EQ(one, Encode(music, bits, 2, threads, true, result)) << threads << " threads";
            EXPECT_EQ(0, result);
        }
    }
}

// The verifier takes a stream only when it decodes to exactly the samples
// given: not with one sample changed, not cut short.
TEST(CFlacVerifier, FindsAChangedSampleAndACutStream) {
    const std::vector<FLAC__int32> music = Music(16, 1, 44100);
    int result = -1;
    const std::vector<unsigned char> stream = Encode(music, 16, 1, 2, false, result);
    ASSERT_EQ(0, result);
    std::vector<FLAC__int32> changed = music;
    changed[30000] ^= 1;
    const struct {
        const std::vector<FLAC__int32>& samples;
        size_t bytes;
        bool taken;
    } cases[] = {{music, stream.size(), true}, {changed, stream.size(), false},
                 {music, stream.size() / 2, false}};
    for (const auto& c : cases) {
        CFlacVerifier verifier;
        ASSERT_TRUE(verifier.Start(1));
        verifier.AddSamples(c.samples.data(), c.samples.size());
        verifier.AddBytes(stream.data(), c.bytes);
        EXPECT_EQ(c.taken, verifier.Finish()) << c.bytes << " bytes";
    }
}
