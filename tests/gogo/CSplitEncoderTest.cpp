// The split encoder driven directly, with a chain whose reservoir is smaller
// than the one LAME's instances fill.
#include "CSplitEncoder.h"
#include "LameEncoding.h"
#include "StreamChecks.h"
#include <gtest/gtest.h>

namespace {

// Seconds of the signal through a split encoder on two threads, as plain
// mp3 (its first frame the info frame's place); empty on failure.
std::vector<unsigned char> EncodeSplit(int seconds, int reservoirLimit) {
    CGoGoConfig config;
    config.input = {nullptr, GOGO_UNKNOWN_LENGTH, 16, 44100, 2};
    config.bitrate = 128;
    CSplitEncoder split(config, 2, reservoirLimit);
    if (split.Open() != GOGO_OK)
        return {};
    const std::vector<unsigned char> pcm = SignalPcm(0, 44100L * seconds, 2, 44100);
    std::vector<int> left, right;
    for (size_t at = 0; at + 3 < pcm.size(); at += 4) {
        left.push_back(static_cast<int16_t>(pcm[at] | pcm[at + 1] << 8) * 65536);
        right.push_back(static_cast<int16_t>(pcm[at + 2] | pcm[at + 3] << 8) * 65536);
    }
    std::vector<unsigned char> out;
    const int frame = split.FrameSamples();
    for (size_t at = 0; at < left.size(); at += static_cast<size_t>(frame)) {
        const int count = static_cast<int>(std::min(left.size() - at, static_cast<size_t>(frame)));
        if (split.Encode(&left[at], &right[at], count, out) != GOGO_OK)
            return {};
    }
    if (split.Flush(out) != GOGO_OK || split.InfoFrame().empty())
        return {};
    return out;
}

} // namespace

// With no reservoir in the chain at all, every block, the first one too,
// is encoded again (without one): the stream is whole, its frames chain
// within the limit, and it has as many frames as with the full reservoir.
TEST(SplitEncoder, BlocksThatDoNotFitTheReservoirAreEncodedAgainToFit) {
    const auto whole = EncodeSplit(15, CFrameChain::kNoLimit);
    ASSERT_FALSE(whole.empty());
    for (int limit : {0, 64}) {
        SCOPED_TRACE(testing::Message() << "reservoir of " << limit << " bytes");
        const auto limited = EncodeSplit(15, limit);
        ASSERT_FALSE(limited.empty());
        CMp3Packet info;
        ASSERT_TRUE(info.ReadHead(limited.data(), limited.size()));
        const std::vector<CMp3Packet> frames =
            Unpacked({limited.begin() + info.FrameLength(), limited.end()});
        EXPECT_EQ(Unpacked({whole.begin() + info.FrameLength(), whole.end()}).size(), frames.size());
        for (const CMp3Packet& frame : frames)
            ASSERT_LE(frame.MainDataBegin(), limit);
    }
}
