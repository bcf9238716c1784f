// Packets of one or several encoders written as one stream with its own
// bit reservoir.
#include "CFrameChain.h"
#include "LameEncoding.h"
#include "StreamChecks.h"
#include <algorithm>
#include <gtest/gtest.h>

namespace {
// A second of every kind of stream, unpacked.
std::vector<CMp3Packet> Packets(const LameSettings& kind) {
    return Unpacked(EncodeWithLame(kind, 0, kind.rate).music);
}
} // namespace

TEST(FrameChain, RechainedFramesUnpackToTheSameHeadersAndMainData) {
    for (const LameSettings& kind : LameKinds()) {
        SCOPED_TRACE(kind.Name());
        std::vector<CMp3Packet> packets = Packets(kind);
        ASSERT_GT(packets.size(), 15u);
        std::vector<unsigned char> chained = Rechained(packets);
        ExpectChained(chained);
        ExpectSamePackets(packets, Unpacked(chained));
    }
}

TEST(FrameChain, ProtectedFramesCarryValidCrcsBeforeAndAfter) {
    for (const LameSettings& kind : LameKinds()) {
        if (!kind.crc)
            continue;
        SCOPED_TRACE(kind.Name());
        LameStream lame = EncodeWithLame(kind, 0, kind.rate);
        std::vector<CMp3Packet> packets = Unpacked(lame.music);
        EXPECT_EQ(static_cast<int>(packets.size()), FramesWithValidCrc(lame.music)) << "LAME's";
        EXPECT_EQ(static_cast<int>(packets.size()), FramesWithValidCrc(Rechained(packets))) << "ours";
    }
}

TEST(FrameChain, FreeBytesSayWhatFitsAndWhatDoesNotFitIsRefusedUnchanged) {
    for (const LameSettings& kind : LameKinds()) {
        SCOPED_TRACE(kind.Name());
        std::vector<CMp3Packet> packets = Packets(kind);
        const CMp3Packet& largest = *std::max_element(
            packets.begin(), packets.end(),
            [](const auto& a, const auto& b) { return a.MainDataSize() < b.MainDataSize(); });
        CFrameChain chain;
        int slots = 0, mainEnd = 0, refused = 0;
        for (const CMp3Packet& packet : packets) {
            int free = std::min(packet.Header().MaxMainDataBegin(), slots - mainEnd);
            ASSERT_EQ(free, chain.FreeBytes());
            bool fits = largest.MainDataSize() <= free + largest.SlotSize();
            EXPECT_EQ(fits, chain.Fits(largest));
            if (!fits) {
                EXPECT_FALSE(chain.Append(largest));
                EXPECT_EQ(free, chain.FreeBytes());
                ++refused;
            }
            ASSERT_TRUE(chain.Append(packet)) << "fits where its encoder put it";
            mainEnd = slots - free + packet.MainDataSize();
            slots += packet.SlotSize();
        }
        EXPECT_GT(refused, 0);
        std::vector<unsigned char> chained;
        chain.Finish(chained);
        ExpectSamePackets(packets, Unpacked(chained));
    }
}

TEST(FrameChain, PiecesOfSeveralEncodersChainWithPaddingOrAreRefusedUnchanged) {
    const int blockFrames = 16, leadFrames = 3, blocks = 4;
    for (const LameSettings& kind : LameKinds()) {
        SCOPED_TRACE(kind.Name());
        CFrameChain chain;
        std::vector<CMp3Packet> appended;
        std::vector<unsigned char> chained;
        for (int block = 0; block < blocks; ++block) {
            int lead = block ? leadFrames : 0;
            long frameSamples = kind.rate < 32000 ? 576 : 1152;
            long first = (block * blockFrames - lead) * frameSamples;
            std::vector<CMp3Packet> packets = Unpacked(
                EncodeWithLame(kind, first, (blockFrames + lead) * frameSamples).music);
            ASSERT_GE(packets.size(), static_cast<size_t>(blockFrames + lead));
            for (int i = lead; i < lead + blockFrames; ++i) {
                CMp3Packet packet = packets[static_cast<size_t>(i)];
                // What the split encoder does at a seam that is one byte short.
                if (!chain.Fits(packet))
                    packet.SetPadding(true);
                bool fits = chain.Fits(packet);
                EXPECT_EQ(fits, chain.Append(packet));
                if (fits)
                    appended.push_back(packet);
                chain.TakeFinished(chained);
            }
        }
        chain.Finish(chained);
        EXPECT_GT(appended.size(), static_cast<size_t>(blockFrames * blocks * 3 / 4));
        ExpectChained(chained);
        ExpectSamePackets(appended, Unpacked(chained));
    }
}

TEST(FrameChain, OnlyFramesWithinReachOfTheReservoirArePending) {
    for (const LameSettings& kind : LameKinds()) {
        SCOPED_TRACE(kind.Name());
        CFrameChain chain;
        std::vector<unsigned char> taken;
        std::vector<const CMp3Packet*> appended;
        size_t appendedBytes = 0;
        for (const CMp3Packet& packet : Packets(kind)) {
            ASSERT_TRUE(chain.Append(packet));
            appended.push_back(&packet);
            appendedBytes += static_cast<size_t>(packet.FrameLength());
            chain.TakeFinished(taken);
            // The last frame and those whose slots reach into the largest
            // main_data_begin before the end of the last slot.
            size_t reach = 0;
            int slots = 0;
            for (auto it = appended.rbegin(); it != appended.rend(); ++it) {
                if (it != appended.rbegin() && slots >= packet.Header().MaxMainDataBegin())
                    break;
                reach += static_cast<size_t>((*it)->FrameLength());
                slots += (*it)->SlotSize();
            }
            ASSERT_LE(appendedBytes - taken.size(), reach) << "after frame " << appended.size();
        }
        chain.Finish(taken);
        EXPECT_EQ(appendedBytes, taken.size());
    }
}

TEST(FrameChain, SummaryDescribesTheBytesWritten) {
    for (const LameSettings& kind : LameKinds()) {
        SCOPED_TRACE(kind.Name());
        std::vector<CMp3Packet> packets = Packets(kind);
        CFrameChain chain;
        std::vector<unsigned char> chained;
        for (const CMp3Packet& packet : packets) {
            chain.Append(packet);
            chain.TakeFinished(chained);
        }
        chain.Finish(chained);
        CStreamSummary expected = SummaryOf(chained);
        const CStreamSummary& summary = chain.Summary();
        EXPECT_EQ(packets.size(), summary.Frames());
        EXPECT_EQ(expected.Frames(), summary.Frames());
        EXPECT_EQ(expected.Bytes(), summary.Bytes());
        EXPECT_EQ(expected.MusicCrc(), summary.MusicCrc());
        EXPECT_EQ(expected.Toc(), summary.Toc());
        EXPECT_EQ(expected.LastModeExtension(), summary.LastModeExtension());
    }
}
