#include "StreamChecks.h"
#include "CFrameChain.h"
#include "Mp3Crc.h"
#include <algorithm>
#include <gtest/gtest.h>

namespace {
// The frames of a stream, with where each starts.
std::vector<std::pair<size_t, CMp3Packet>> Heads(const std::vector<unsigned char>& bytes) {
    std::vector<std::pair<size_t, CMp3Packet>> heads;
    for (size_t at = 0; at < bytes.size();) {
        CMp3Packet packet;
        if (!packet.ReadHead(bytes.data() + at, bytes.size() - at)) {
            ADD_FAILURE() << "no frame at byte " << at;
            break;
        }
        heads.emplace_back(at, packet);
        at += static_cast<size_t>(packet.FrameLength());
    }
    return heads;
}

std::vector<unsigned char> SideInfoWithoutBegin(CMp3Packet packet) {
    packet.SetMainDataBegin(0);
    return {packet.SideInfo(), packet.SideInfo() + packet.SideInfoSize()};
}
} // namespace

std::vector<CMp3Packet> Unpacked(const std::vector<unsigned char>& bytes) {
    std::vector<CMp3Packet> packets;
    EXPECT_TRUE(UnpackMp3Frames(bytes.data(), bytes.size(), packets));
    return packets;
}

CStreamSummary SummaryOf(const std::vector<unsigned char>& music) {
    CStreamSummary summary;
    for (const CMp3Packet& packet : Unpacked(music))
        summary.AddFrame(packet.Header());
    summary.AddBytes(music.data(), music.size());
    return summary;
}

std::vector<unsigned char> Rechained(const std::vector<CMp3Packet>& packets) {
    CFrameChain chain;
    std::vector<unsigned char> out;
    for (const CMp3Packet& packet : packets) {
        EXPECT_TRUE(chain.Append(packet));
        chain.TakeFinished(out);
    }
    chain.Finish(out);
    return out;
}

void ExpectChained(const std::vector<unsigned char>& bytes) {
    int slotsEnd = 0, mainEnd = 0;
    std::vector<unsigned char> slots;
    std::vector<bool> used;
    for (const auto& [at, packet] : Heads(bytes)) {
        int expected = std::min(packet.Header().MaxMainDataBegin(), slotsEnd - mainEnd);
        EXPECT_EQ(expected, packet.MainDataBegin()) << "frame at byte " << at;
        int start = slotsEnd - packet.MainDataBegin();
        mainEnd = start + packet.MainDataSize();
        slotsEnd += packet.SlotSize();
        slots.insert(slots.end(), bytes.begin() + static_cast<long>(at) + packet.HeadSize(),
                     bytes.begin() + static_cast<long>(at) + packet.FrameLength());
        used.resize(slots.size());
        for (int i = std::max(start, 0); i < std::min(mainEnd, slotsEnd); ++i)
            used[static_cast<size_t>(i)] = true;
    }
    for (size_t i = 0; i < slots.size(); ++i)
        if (!used[i] && slots[i] != 0) {
            ADD_FAILURE() << "unused slot byte " << i << " is not zero";
            return;
        }
}

void ExpectSamePackets(const std::vector<CMp3Packet>& expected, const std::vector<CMp3Packet>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].Header().Bytes(), actual[i].Header().Bytes()) << "frame " << i;
        EXPECT_EQ(SideInfoWithoutBegin(expected[i]), SideInfoWithoutBegin(actual[i])) << "frame " << i;
        EXPECT_EQ(expected[i].MainData(), actual[i].MainData()) << "frame " << i;
    }
}

int FramesWithValidCrc(const std::vector<unsigned char>& bytes) {
    int valid = 0;
    for (const auto& [at, packet] : Heads(bytes)) {
        const unsigned char* frame = bytes.data() + at;
        uint16_t crc = Mp3FrameCrc(frame, frame + 6, packet.SideInfoSize());
        valid += packet.HasCrc() && frame[4] == crc >> 8 && frame[5] == (crc & 0xFF);
    }
    return valid;
}
