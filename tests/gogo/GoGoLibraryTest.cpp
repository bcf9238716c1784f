// gogo.dll through its own header: settings it refuses, the streams it
// writes, and how it fails.
#include "gogo.h"
#include "CInfoFrame.h"
#include "CMp3Header.h"
#include "LameEncoding.h"
#include "StreamChecks.h"
#include <atomic>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
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

int GOGO_CALL CountedInput(void* buffer, unsigned long length, unsigned long* delivered) {
    const size_t before = stream.readAt;
    const int last = Input(buffer, length);
    *delivered = static_cast<unsigned long>(stream.readAt - before);
    return last;
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

struct StreamCase {
    uint32_t rate, channels;
    int vbrQuality = -1; // -1: CBR
    bool riffWave = false;
    uintptr_t kbps = 128;
    long samples = 0; // 0: twenty seconds of sine (several blocks of frames)
};

// The case encoded on threads; split: a split stream also on one thread.
std::vector<unsigned char> EncodeSplit(const StreamCase& c, uintptr_t threads, uintptr_t split = 1) {
    MPGE_initializeWork();
    stream = Stream{};
    const int channels = static_cast<int>(c.channels), rate = static_cast<int>(c.rate);
    stream.pcm = c.samples ? SignalPcm(0, c.samples, channels, rate) : Sine(20 * rate, channels);
    Configure(c.rate, c.channels);
    MPGE_setConfigure(GOGO_ITEM_BITRATE, c.kbps, 0);
    if (c.vbrQuality >= 0) { // as ZEP asks for VBR
        MPGE_setConfigure(GOGO_ITEM_VBR_QUALITY, static_cast<uintptr_t>(c.vbrQuality), 0);
        MPGE_setConfigure(GOGO_ITEM_VBR_LIMITS, c.kbps, 160);
    }
    MPGE_setConfigure(GOGO_ITEM_RIFF_WAVE, c.riffWave ? 1 : 0, 0);
    MPGE_setConfigure(GOGO_ITEM_THREADS, threads, split);
    EXPECT_EQ(GOGO_OK, Encode());
    MPGE_endCoder();
    return stream.bytes;
}

// LAME's info frame at the start of a plain stream, if it has one.
bool HasInfoFrame(const std::vector<unsigned char>& bytes, CMp3Header& header) {
    if (bytes.size() < 4 || !CMp3Header::Parse(bytes.data(), header) ||
        bytes.size() < static_cast<size_t>(header.FrameLength()))
        return false;
    CInfoFrame info;
    return info.Read(bytes.data(), static_cast<size_t>(header.FrameLength()));
}

// The music frames: after the WAVE header (to the data's size), or after
// any info frame.
std::vector<CMp3Packet> MusicFrames(const std::vector<unsigned char>& bytes, bool riffWave) {
    if (riffWave) {
        const size_t size = bytes[66] | bytes[67] << 8 | bytes[68] << 16 | size_t{bytes[69]} << 24;
        return Unpacked({bytes.begin() + 70, bytes.begin() + 70 + static_cast<long>(size)});
    }
    CMp3Header info;
    const long skip = HasInfoFrame(bytes, info) ? info.FrameLength() : 0;
    return Unpacked({bytes.begin() + skip, bytes.end()});
}

// The samples a gapless player plays: from the info frame's frame count,
// delay and padding.
long GaplessLength(const std::vector<unsigned char>& bytes) {
    CMp3Header header;
    if (!HasInfoFrame(bytes, header))
        return -1;
    const size_t xing = 4 + static_cast<size_t>(header.SideInfoSize());
    auto big = [&](size_t at, int count) {
        long value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | bytes[at + static_cast<size_t>(i)];
        return value;
    };
    const long frameSamples = header.Granules() * 576;
    const long delayAndPadding = big(xing + 141, 3);
    return big(xing + 8, 4) * frameSamples - (delayAndPadding >> 12) - (delayAndPadding & 0xFFF);
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
        StreamCase stream;
    } cases[] = {{"44.1 kHz stereo CBR", {44100, 2}},
                 {"44.1 kHz stereo VBR", {44100, 2, 2}},
                 {"22.05 kHz mono CBR", {22050, 1}},
                 {"Layer-3 WAVE", {44100, 2, -1, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool riffWave = c.stream.riffWave;
        const auto single = EncodeSplit(c.stream, 1, 0);
        const auto two = EncodeSplit(c.stream, 2);
        EXPECT_EQ(two, EncodeSplit(c.stream, 3));
        EXPECT_EQ(two, EncodeSplit(c.stream, 1));
        const size_t singleFrames = MusicFrames(single, riffWave).size();
        const size_t splitFrames = MusicFrames(two, riffWave).size();
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
    EXPECT_GT(EncodeSplit({44100, 2}, 2).size(), 100000u);
}

namespace {

// The output rate's MPEG bit rates, as gogo.dll offers them.
std::vector<uintptr_t> BitRates(uint32_t rate) {
    if (rate >= 32000)
        return {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    const std::vector<uintptr_t> low = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    return rate >= 16000 ? low : std::vector<uintptr_t>(low.begin(), low.begin() + 8);
}

// Around the edge below which LAME writes no info frame (a frame smaller
// than its header, side information and 156 bytes of tag): the lowest rate,
// the highest without the frame and the lowest with it.
std::vector<StreamCase> InfoFrameEdges() {
    std::vector<StreamCase> cases;
    for (uint32_t rate : {8000u, 11025u, 12000u, 16000u, 22050u, 24000u, 32000u, 44100u, 48000u})
        for (uint32_t channels : {1u, 2u}) {
            const bool mpeg1 = rate >= 32000;
            const uint32_t sideInfo = mpeg1 ? (channels == 1 ? 17 : 32) : (channels == 1 ? 9 : 17);
            const std::vector<uintptr_t> rates = BitRates(rate);
            auto holdsTag = [&](uintptr_t kbps) {
                return (mpeg1 ? 144000 : 72000) * kbps / rate >= 4 + sideInfo + 156;
            };
            const auto tagged = std::find_if(rates.begin(), rates.end(), holdsTag);
            for (auto kbps : {rates.front(), *(tagged - 1), *tagged})
                if (cases.empty() || cases.back().rate != rate ||
                    cases.back().channels != channels || cases.back().kbps != kbps)
                    cases.push_back({rate, channels, -1, false, kbps});
        }
    return cases;
}

} // namespace

// At every MPEG rate, mono and stereo, around the info frame's edge, empty
// and a few frames; at the lowest bit rate also a block of frames with some
// beyond: split, the stream has the single encoder's frames, the very same
// in its first block.
TEST_F(GoGoLibrary, SplitStreamsKeepEveryFrameWithOrWithoutAnInfoFrame) {
    for (StreamCase c : InfoFrameEdges()) {
        const long frameSamples = c.rate >= 32000 ? 1152 : 576;
        for (long frames : {0L, 20L, 264L}) {
            if (frames > 256 && c.kbps != BitRates(c.rate).front())
                continue;
            c.samples = frames * frameSamples;
            SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels, "
                                            << c.kbps << " kbit/s, " << frames << " frames");
            const auto single = EncodeSplit(c, 1, 0);
            const auto split = EncodeSplit(c, 2);
            CMp3Header header;
            EXPECT_EQ(HasInfoFrame(single, header), HasInfoFrame(split, header));
            const std::vector<CMp3Packet> singleFrames = MusicFrames(single, false);
            const std::vector<CMp3Packet> splitFrames = MusicFrames(split, false);
            ASSERT_FALSE(singleFrames.empty());
            ASSERT_EQ(singleFrames.size(), splitFrames.size());
            const size_t firstBlock = std::min<size_t>(singleFrames.size(), 256);
            ExpectSamePackets({singleFrames.begin(), singleFrames.begin() + firstBlock},
                              {splitFrames.begin(), splitFrames.begin() + firstBlock});
        }
    }
}

// With the count of each read, digital silence at the end is sound: the
// WAVE file's sample count and the info frame's gapless length are the
// input's, on one encoder and split.
TEST_F(GoGoLibrary, CountedInputKeepsDigitalSilenceAtTheEnd) {
    for (bool riffWave : {true, false})
        for (uintptr_t threads : {1, 2}) {
            SCOPED_TRACE(testing::Message() << (riffWave ? "Layer-3 WAVE, " : "mp3, ") << threads);
            MPGE_initializeWork();
            stream = Stream{};
            stream.pcm = Sine(30000, 1);
            stream.pcm.resize(stream.pcm.size() + 2 * 1500, 0);
            Configure(44100, 1);
            MPGE_setConfigure(GOGO_ITEM_COUNTED_INPUT, reinterpret_cast<uintptr_t>(&CountedInput), 0);
            MPGE_setConfigure(GOGO_ITEM_RIFF_WAVE, riffWave ? 1 : 0, 0);
            MPGE_setConfigure(GOGO_ITEM_THREADS, threads, 1);
            ASSERT_EQ(GOGO_OK, Encode());
            EXPECT_EQ(31500, riffWave ? static_cast<long>(Le(58, 4)) : GaplessLength(stream.bytes));
        }
}

// VBR as ZEP sets it, at the ends of its VBR bit rates (160, the default,
// asked for 160 to 160 once): the frames vary in rate, and quality 0 makes
// a larger stream than quality 9.
TEST_F(GoGoLibrary, VbrVariesAtEveryBitRateAndItsQualityDecidesTheSize) {
    for (uint32_t rate : {44100u, 22050u})
        for (uintptr_t kbps : {8, 160}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, VBR bit rate " << kbps);
            size_t sizes[2] = {};
            for (int quality : {0, 9}) {
                const auto bytes = EncodeSplit({rate, 2, quality, false, kbps, 3 * static_cast<long>(rate)}, 1, 0);
                std::set<int> rates;
                for (const CMp3Packet& packet : MusicFrames(bytes, false))
                    rates.insert(packet.Header().Kbps());
                EXPECT_GT(rates.size(), 1u) << "quality " << quality;
                sizes[quality ? 1 : 0] = bytes.size();
            }
            EXPECT_GT(sizes[0], sizes[1]);
        }
}
