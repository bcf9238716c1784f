// Layer III headers and the unpacking of frames out of their reservoir.
#include "CMp3Packet.h"
#include "LameEncoding.h"
#include "StreamChecks.h"
#include <functional>
#include <gtest/gtest.h>

TEST(Mp3Header, LengthsFollowFromVersionBitRateSampleRatePaddingModeAndCrc) {
    struct Case {
        unsigned char bytes[4];
        int frame, head, slot, maxBegin;
    } cases[] = {
        {{0xFF, 0xFB, 0x90, 0x40}, 417, 36, 381, 511}, // MPEG-1 128 kbit/s 44.1 kHz joint stereo
        {{0xFF, 0xFB, 0x92, 0xC0}, 418, 21, 397, 511}, // the same, mono, padded
        {{0xFF, 0xFA, 0x90, 0x40}, 417, 38, 379, 511}, // with CRC
        {{0xFF, 0xFB, 0xE4, 0x00}, 960, 36, 924, 511}, // 320 kbit/s 48 kHz stereo
        {{0xFF, 0xF3, 0x80, 0x40}, 208, 21, 187, 255}, // MPEG-2 64 kbit/s 22.05 kHz
        {{0xFF, 0xE3, 0x40, 0xC0}, 208, 13, 195, 255}, // MPEG-2.5 32 kbit/s 11.025 kHz mono
    };
    for (const Case& c : cases) {
        CMp3Header header;
        ASSERT_TRUE(CMp3Header::Parse(c.bytes, header)) << c.frame;
        EXPECT_EQ(c.frame, header.FrameLength());
        EXPECT_EQ(c.head, header.HeadSize());
        EXPECT_EQ(c.slot, header.SlotSize());
        EXPECT_EQ(c.maxBegin, header.MaxMainDataBegin());
        header.SetPadding(!header.Padding());
        EXPECT_EQ(c.slot + (header.Padding() ? 1 : -1), header.SlotSize()) << "padding toggled";
    }
    const unsigned char refused[][4] = {
        {0xFF, 0xFB, 0x00, 0x40}, // free format
        {0xFF, 0xFB, 0xF0, 0x40}, // bit rate index 15
        {0xFF, 0xFB, 0x9C, 0x40}, // sample rate index 3
        {0xFF, 0xFD, 0x90, 0x40}, // Layer II
        {0xFF, 0xEB, 0x90, 0x40}, // reserved version
        {0xFE, 0xFB, 0x90, 0x40}, // no sync
    };
    for (const auto& bytes : refused) {
        CMp3Header header;
        EXPECT_FALSE(CMp3Header::Parse(bytes, header)) << int(bytes[1]) << " " << int(bytes[2]);
    }
}

TEST(Mp3Packet, UnpackingRefusesBrokenStreamsAndMainDataOutsideTheBuffer) {
    LameStream lame = EncodeWithLame({44100, 2, 128, false}, 0, 44100);
    std::vector<CMp3Packet> packets = Unpacked(lame.music);
    ASSERT_GT(packets.size(), 30u);
    // Where the first frame starts whose main data begins in an earlier frame.
    size_t borrower = 0, borrowerAt = 0;
    for (; borrower < packets.size() && packets[borrower].MainDataBegin() == 0; ++borrower)
        borrowerAt += static_cast<size_t>(packets[borrower].FrameLength());
    ASSERT_LT(borrower, packets.size());
    auto setBegin = [&](std::vector<unsigned char>& bytes, size_t at, int begin) {
        CMp3Packet packet;
        packet.ReadHead(bytes.data() + at, bytes.size() - at);
        packet.WriteHead(bytes.data() + at, begin);
    };
    size_t second = static_cast<size_t>(packets[0].FrameLength());
    struct Case {
        const char* what;
        std::function<void(std::vector<unsigned char>&)> spoil;
    } cases[] = {
        {"a frame cut short", [](auto& b) { b.pop_back(); }},
        {"no frame sync", [](auto& b) { b[0] = 0; }},
        {"free format", [](auto& b) { b[2] &= 0x0F; }},
        {"Layer II", [](auto& b) { b[1] = 0xFD; }},
        {"main data before the buffer",
         [&](auto& b) { b.erase(b.begin(), b.begin() + static_cast<long>(borrowerAt)); }},
        {"main data over the previous frame's",
         [&](auto& b) { setBegin(b, second, packets[0].SlotSize()); }},
        {"main data past its own slot", [&](auto& b) {
             size_t at = 0;
             for (const CMp3Packet& packet : packets) {
                 if (packet.MainDataSize() > packet.SlotSize())
                     return setBegin(b, at, 0);
                 at += static_cast<size_t>(packet.FrameLength());
             }
             ADD_FAILURE() << "no frame has more main data than slot";
         }},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = lame.music;
        c.spoil(bytes);
        std::vector<CMp3Packet> out(1);
        EXPECT_FALSE(UnpackMp3Frames(bytes.data(), bytes.size(), out)) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
    }
}
