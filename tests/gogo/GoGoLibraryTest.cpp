// gogo.dll through its own header: settings it refuses, the streams it
// writes, and how it fails.
#include "gogo.h"
#include "CMp3Header.h"
#include "StreamChecks.h"
#include <atomic>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {
// The caller's side: PCM from memory, the stream into memory; each
// thread has its own, as each has its own encoder.
struct Stream {
    std::vector<unsigned char> pcm;
    size_t readAt = 0;
    std::vector<unsigned char> bytes;
    size_t writeAt = 0;
    int writeResult = 0;
};
thread_local Stream stream;
thread_local GOGO_INPUT input;

int GOGO_CALL Input(void* buffer, unsigned long length) {
    std::memset(buffer, 0, length);
    size_t n = std::min<size_t>(length, stream.pcm.size() - stream.readAt);
    std::memcpy(buffer, stream.pcm.data() + stream.readAt, n);
    stream.readAt += n;
    return stream.readAt < stream.pcm.size() ? 0 : 1;
}

int GOGO_CALL Output(void* buffer, unsigned long length) {
    if (!buffer) {
        stream.writeAt = 0;
        return static_cast<int>(stream.bytes.size());
    }
    if (stream.writeResult)
        return stream.writeResult;
    auto* bytes = static_cast<unsigned char*>(buffer);
    stream.bytes.resize(std::max<size_t>(stream.bytes.size(), stream.writeAt + length));
    std::copy(bytes, bytes + length, stream.bytes.begin() + static_cast<long>(stream.writeAt));
    stream.writeAt += length;
    return 0;
}

// A sine of samples frames, 16-bit, left and right in opposite phase.
std::vector<unsigned char> Sine(int samples, int channels) {
    std::vector<unsigned char> pcm;
    for (int i = 0; i < samples; ++i)
        for (int c = 0; c < channels; ++c) {
            auto v = static_cast<int16_t>((c ? -8000 : 8000) * std::sin(i * 0.05));
            pcm.push_back(static_cast<unsigned char>(v));
            pcm.push_back(static_cast<unsigned char>(v >> 8));
        }
    return pcm;
}

uint32_t Le(size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | stream.bytes[at + static_cast<size_t>(i)];
    return value;
}

// Input and output through the functions above; then the items given.
int Configure(uint32_t rate, uint32_t channels, uint32_t bits = 16,
              uint32_t length = GOGO_UNKNOWN_LENGTH) {
    input = {&Input, length, bits, rate, channels};
    MPGE_setConfigure(GOGO_ITEM_INPUT, GOGO_INPUT_BY_FUNCTION, reinterpret_cast<uintptr_t>(&input));
    return MPGE_setConfigure(GOGO_ITEM_OUTPUT, GOGO_OUTPUT_BY_FUNCTION,
                             reinterpret_cast<uintptr_t>(&Output));
}

int Encode() {
    if (int result = MPGE_detectConfigure())
        return result;
    int result = GOGO_OK;
    while (result == GOGO_OK)
        result = MPGE_processFrame();
    int closed = MPGE_closeCoder();
    return result == GOGO_END ? closed : result;
}

class GoGoLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        stream = Stream{};
        ASSERT_EQ(GOGO_OK, MPGE_initializeWork());
    }
    void TearDown() override { MPGE_endCoder(); }
};

// Two seconds of sine at the bit rate and mode, encoded on the calling thread.
std::vector<unsigned char> EncodeSine(uintptr_t kbps, uintptr_t mode) {
    MPGE_initializeWork();
    stream = Stream{};
    stream.pcm = Sine(2 * 44100, 2);
    Configure(44100, 2);
    MPGE_setConfigure(GOGO_ITEM_BITRATE, kbps, 0);
    MPGE_setConfigure(GOGO_ITEM_CHANNEL_MODE, mode, 0);
    EXPECT_EQ(GOGO_OK, Encode());
    MPGE_endCoder();
    return stream.bytes;
}
} // namespace

TEST_F(GoGoLibrary, BitRatesTheOutputRateCannotCarryAreRefusedWith13) {
    struct Case {
        uint32_t rate;
        uintptr_t kbps;
        int result;
    } cases[] = {{44100, 320, 0},  {44100, 32, 0},   {44100, 8, 13}, {22050, 160, 0},
                 {22050, 192, 13}, {22050, 320, 13}, {8000, 64, 0},  {8000, 80, 13}};
    for (const Case& c : cases) {
        MPGE_initializeWork();
        Configure(c.rate, 2);
        MPGE_setConfigure(GOGO_ITEM_BITRATE, c.kbps, 0);
        EXPECT_EQ(c.result, MPGE_detectConfigure()) << c.rate << " Hz, " << c.kbps << " kbit/s";
    }
}

TEST_F(GoGoLibrary, OtherImpossibleSettingsAreRefusedWithOtherResults) {
    Configure(44100, 3);
    EXPECT_EQ(GOGO_ERR_INPUT_FORMAT, MPGE_detectConfigure());
    MPGE_initializeWork();
    Configure(44100, 2, 12);
    EXPECT_EQ(GOGO_ERR_INPUT_FORMAT, MPGE_detectConfigure());
    MPGE_initializeWork();
    Configure(44100, 2);
    EXPECT_EQ(GOGO_ERR_VALUE, MPGE_setConfigure(GOGO_ITEM_CHANNEL_MODE, 5, 0));
    EXPECT_EQ(GOGO_ERR_VALUE, MPGE_detectConfigure()) << "a refused value is not forgotten";
    MPGE_initializeWork();
    EXPECT_EQ(GOGO_ERR_NO_INPUT, MPGE_detectConfigure());
    EXPECT_EQ(GOGO_ERR_ITEM, MPGE_setConfigure(99, 1, 0));
    EXPECT_EQ(GOGO_ERR_ORDER, MPGE_processFrame());
    EXPECT_EQ(GOGO_ERR_ORDER, MPGE_closeCoder());
}

TEST_F(GoGoLibrary, PlainMp3StartsWithTheInfoOrXingFrameWrittenAtTheEnd) {
    for (bool vbr : {false, true}) {
        MPGE_initializeWork();
        stream = Stream{};
        stream.pcm = Sine(44100, 2);
        Configure(44100, 2);
        if (vbr)
            MPGE_setConfigure(GOGO_ITEM_VBR_QUALITY, 2, 0);
        ASSERT_EQ(GOGO_OK, Encode());
        ASSERT_GT(stream.bytes.size(), 4000u);
        EXPECT_EQ(0xFF, stream.bytes[0]);
        EXPECT_EQ(0xE0, stream.bytes[1] & 0xE0) << "frame sync";
        const char* tag = vbr ? "Xing" : "Info";
        EXPECT_EQ(0, std::memcmp(&stream.bytes[36], tag, 4)) << tag;
        EXPECT_NE(0u, Le(36 + 8, 4)) << "frame count, known only at the end";
    }
}

TEST_F(GoGoLibrary, Layer3WaveCarriesTheFinalSizesAndTheMp3Format) {
    stream.pcm = Sine(44100 + 77, 2);
    Configure(44100, 2, 16, static_cast<uint32_t>(stream.pcm.size()));
    MPGE_setConfigure(GOGO_ITEM_RIFF_WAVE, 1, 0);
    ASSERT_EQ(GOGO_OK, Encode());
    size_t size = stream.bytes.size();
    ASSERT_GT(size, 70u);
    EXPECT_EQ(0, std::memcmp(&stream.bytes[0], "RIFF", 4));
    EXPECT_EQ(size - 8, Le(4, 4));
    EXPECT_EQ(0, std::memcmp(&stream.bytes[8], "WAVEfmt ", 8));
    EXPECT_EQ(30u, Le(16, 4));
    EXPECT_EQ(0x55u, Le(20, 2));
    EXPECT_EQ(2u, Le(22, 2));
    EXPECT_EQ(44100u, Le(24, 4));
    EXPECT_EQ(16000u, Le(28, 4)) << "128 kbit/s";
    EXPECT_EQ(1u, Le(32, 2));
    EXPECT_EQ(12u, Le(36, 2));
    EXPECT_EQ(1u, Le(38, 2)) << "MPEGLAYER3_ID_MPEG";
    EXPECT_EQ(417u, Le(44, 2)) << "frame bytes at 128 kbit/s, 44.1 kHz";
    EXPECT_EQ(1u, Le(46, 2));
    EXPECT_EQ(0, std::memcmp(&stream.bytes[50], "fact", 4));
    EXPECT_EQ(44100u + 77, Le(58, 4)) << "samples";
    EXPECT_EQ(0, std::memcmp(&stream.bytes[62], "data", 4));
    EXPECT_EQ(size - 70 - Le(66, 4) % 2, Le(66, 4));
    EXPECT_EQ(0xFF, stream.bytes[70]);
}

TEST_F(GoGoLibrary, TheZeroFillOfTheLastReadIsNotEncoded) {
    stream.pcm = Sine(30000, 1);
    Configure(44100, 1);
    MPGE_setConfigure(GOGO_ITEM_RIFF_WAVE, 1, 0);
    ASSERT_EQ(GOGO_OK, Encode());
    EXPECT_EQ(1u, Le(22, 2));
    EXPECT_EQ(30000u, Le(58, 4));
}

TEST_F(GoGoLibrary, ModesSetTheFrameHeadersChannelMode) {
    struct Case {
        uintptr_t mode;
        int bits; // the header's mode field
    } cases[] = {{GOGO_MODE_MONO, 3}, {GOGO_MODE_STEREO, 0}, {GOGO_MODE_DUAL_CHANNEL, 2}};
    for (const Case& c : cases) {
        MPGE_initializeWork();
        stream = Stream{};
        stream.pcm = Sine(11025, 2);
        Configure(44100, 2);
        MPGE_setConfigure(GOGO_ITEM_CHANNEL_MODE, c.mode, 0);
        MPGE_setConfigure(GOGO_ITEM_RIFF_WAVE, 1, 0);
        ASSERT_EQ(GOGO_OK, Encode()) << "mode " << c.mode;
        EXPECT_EQ(c.bits, stream.bytes[73] >> 6) << "mode " << c.mode;
    }
}

TEST_F(GoGoLibrary, AFailingOutputFunctionStopsTheStreamWith24) {
    stream.pcm = Sine(44100, 2);
    Configure(44100, 2);
    ASSERT_EQ(GOGO_OK, MPGE_detectConfigure());
    stream.writeResult = 5;
    int result = GOGO_OK;
    for (int frames = 0; result == GOGO_OK && frames < 100; ++frames)
        result = MPGE_processFrame();
    EXPECT_EQ(GOGO_ERR_WRITE, result);
    EXPECT_EQ(GOGO_ERR_WRITE, MPGE_processFrame());
    EXPECT_EQ(GOGO_ERR_WRITE, MPGE_closeCoder());
}

TEST_F(GoGoLibrary, ReportsItsVersionAndUnits) {
    unsigned long version = 0, units = 0;
    char text[64] = {};
    EXPECT_EQ(GOGO_OK, MPGE_getVersion(&version, text, sizeof text));
    EXPECT_EQ(0x0102u, version);
    EXPECT_NE(nullptr, std::strstr(text, "LAME"));
    EXPECT_EQ(GOGO_OK, MPGE_getUnitStates(&units));
    EXPECT_EQ(GOGO_UNIT_SSE2, units & GOGO_UNIT_SSE2);
    uintptr_t value1 = 0, value2 = 0;
    MPGE_setConfigure(GOGO_ITEM_VBR_LIMITS, 64, 160);
    EXPECT_EQ(GOGO_OK, MPGE_getConfigure(GOGO_ITEM_VBR_LIMITS, &value1, &value2));
    EXPECT_EQ(64u, value1);
    EXPECT_EQ(160u, value2);
}

// Threads encoding at once, each with settings of its own, get exactly the
// streams they get alone.
TEST_F(GoGoLibrary, ThreadsEncodingAtOnceEachGetWhatTheyGetAlone) {
    uintptr_t own = 0;
    ASSERT_EQ(GOGO_OK, MPGE_getConfigure(GOGO_ITEM_THREAD_ENCODERS, &own, nullptr));
    EXPECT_EQ(1u, own);
    const std::vector<unsigned char> alone[] = {EncodeSine(128, GOGO_MODE_JOINT_STEREO),
                                                EncodeSine(64, GOGO_MODE_MONO)};
    ASSERT_NE(alone[0], alone[1]);
    std::vector<unsigned char> together[2];
    std::atomic<int> ready{0};
    auto encode = [&](int which, uintptr_t kbps, uintptr_t mode) {
        ++ready;
        while (ready < 2) {
        }
        together[which] = EncodeSine(kbps, mode);
    };
    std::thread first(encode, 0, 128, GOGO_MODE_JOINT_STEREO);
    std::thread second(encode, 1, 64, GOGO_MODE_MONO);
    first.join();
    second.join();
    EXPECT_TRUE(together[0] == alone[0]);
    EXPECT_TRUE(together[1] == alone[1]);
}

namespace {

// Twenty seconds of sine (several blocks of frames) encoded as the case
// says on threads; split: a split stream also on one thread.
std::vector<unsigned char> EncodeSplit(uint32_t rate, uint32_t channels, int vbrQuality,
                                       bool riffWave, uintptr_t threads, uintptr_t split = 1) {
    MPGE_initializeWork();
    stream = Stream{};
    stream.pcm = Sine(20 * static_cast<int>(rate), static_cast<int>(channels));
    Configure(rate, channels);
    if (vbrQuality >= 0)
        MPGE_setConfigure(GOGO_ITEM_VBR_QUALITY, static_cast<uintptr_t>(vbrQuality), 0);
    MPGE_setConfigure(GOGO_ITEM_RIFF_WAVE, riffWave ? 1 : 0, 0);
    MPGE_setConfigure(GOGO_ITEM_THREADS, threads, split);
    EXPECT_EQ(GOGO_OK, Encode());
    MPGE_endCoder();
    return stream.bytes;
}

// The music frames: after the WAVE header (to the data's size), or after
// the info frame.
std::vector<CMp3Packet> MusicFrames(const std::vector<unsigned char>& bytes, bool riffWave) {
    CMp3Header info;
    if (riffWave) {
        const size_t size = bytes[66] | bytes[67] << 8 | bytes[68] << 16 | size_t{bytes[69]} << 24;
        return Unpacked({bytes.begin() + 70, bytes.begin() + 70 + static_cast<long>(size)});
    }
    if (bytes.size() < 4 || !CMp3Header::Parse(bytes.data(), info))
        return {};
    return Unpacked({bytes.begin() + info.FrameLength(), bytes.end()});
}

} // namespace

// Split, a stream is the same on 1, 2 and 3 threads, its frames chain with
// a legal reservoir, and it has the single encoder's frames.
TEST_F(GoGoLibrary, AStreamSplitOverThreadsIsTheSameForEveryCountAndAsLongAsOne) {
    uintptr_t able = 0, unused = 0;
    ASSERT_EQ(GOGO_OK, MPGE_getConfigure(GOGO_ITEM_SPLIT_ENCODER, &able, &unused));
    EXPECT_EQ(1u, able);
    const struct {
        const char* what;
        uint32_t rate, channels;
        int vbrQuality;
        bool riffWave;
    } cases[] = {{"44.1 kHz stereo CBR", 44100, 2, -1, false},
                 {"44.1 kHz stereo VBR", 44100, 2, 2, false},
                 {"22.05 kHz mono CBR", 22050, 1, -1, false},
                 {"Layer-3 WAVE", 44100, 2, -1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto single = EncodeSplit(c.rate, c.channels, c.vbrQuality, c.riffWave, 1, 0);
        const auto two = EncodeSplit(c.rate, c.channels, c.vbrQuality, c.riffWave, 2);
        EXPECT_EQ(two, EncodeSplit(c.rate, c.channels, c.vbrQuality, c.riffWave, 3));
        EXPECT_EQ(two, EncodeSplit(c.rate, c.channels, c.vbrQuality, c.riffWave, 1));
        const size_t singleFrames = MusicFrames(single, c.riffWave).size();
        const size_t splitFrames = MusicFrames(two, c.riffWave).size();
        EXPECT_GT(splitFrames, 700u);
        EXPECT_LE(std::max(singleFrames, splitFrames) - std::min(singleFrames, splitFrames), 1u);
    }
}

// Stopped halfway (the caller ends the coder without closing it), the
// workers end with it, and the next stream encodes.
TEST_F(GoGoLibrary, AStreamSplitOverThreadsCanBeAbandonedHalfway) {
    stream.pcm = Sine(20 * 44100, 2);
    Configure(44100, 2);
    MPGE_setConfigure(GOGO_ITEM_THREADS, 2, 0);
    ASSERT_EQ(GOGO_OK, MPGE_detectConfigure());
    for (int frame = 0; frame < 400; ++frame)
        ASSERT_EQ(GOGO_OK, MPGE_processFrame());
    EXPECT_EQ(GOGO_OK, MPGE_endCoder());
    EXPECT_GT(EncodeSplit(44100, 2, -1, false, 2).size(), 100000u);
}
