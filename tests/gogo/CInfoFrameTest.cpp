// LAME's info frame made for a stream from the stream's frames.
#include "CInfoFrame.h"
#include "LameEncoding.h"
#include "StreamChecks.h"
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {
// Where LAME puts the "Xing" or "Info" word: after the side information,
// also when the frame has a CRC.
size_t TagAt(const std::vector<unsigned char>& frame) {
    CMp3Header header;
    EXPECT_TRUE(CMp3Header::Parse(frame.data(), header));
    return 4 + static_cast<size_t>(header.SideInfoSize());
}

void Zero(std::vector<unsigned char>& frame, size_t at, size_t count) {
    std::fill_n(frame.begin() + static_cast<long>(at), count, 0);
}
} // namespace

TEST(InfoFrame, RebuildsLamesOwnInfoFrameFromTheMusicFrames) {
    struct Case {
        LameSettings kind;
        int seconds; // past 400 frames LAME's seek table thins its samples
    } cases[] = {{{44100, 2, 128, false}, 30}, {{44100, 2, 0, false}, 12}, {{44100, 1, 64, true}, 3},
                 {{22050, 1, 0, true}, 3},     {{22050, 2, 0, false}, 20}, {{11025, 1, 32, false}, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind.Name());
        LameStream lame = EncodeWithLame(c.kind, 0, c.seconds * c.kind.rate, true);
        ASSERT_FALSE(lame.infoFrame.empty());
        // Everything the info frame says about the stream, gone.
        std::vector<unsigned char> blank = lame.infoFrame;
        size_t tag = TagAt(blank);
        blank[3] &= 0xCF;             // mode extension of the last frame
        Zero(blank, 4, 2);            // CRC, if any
        Zero(blank, tag + 8, 108);    // frames, bytes, seek table
        Zero(blank, tag + 141, 3);    // delay and padding
        Zero(blank, tag + 148, 8);    // music length and CRC, tag CRC
        CInfoFrame info;
        ASSERT_TRUE(info.Read(blank.data(), blank.size()));
        info.SetStream(SummaryOf(lame.music));
        info.SetDelayAndPadding(lame.delay, lame.padding);
        const std::vector<unsigned char>& rebuilt = info.Bytes();
        ASSERT_EQ(lame.infoFrame.size(), rebuilt.size());
        auto differ = std::mismatch(rebuilt.begin(), rebuilt.end(), lame.infoFrame.begin()).first;
        auto at = static_cast<size_t>(differ - rebuilt.begin());
        EXPECT_EQ(rebuilt.size(), at) << "first difference at byte " << at << ", tag word at " << tag;
    }
}

TEST(InfoFrame, FramesThatAreNotLamesInfoFrameAreRefused) {
    LameStream lame = EncodeWithLame({44100, 2, 128, false}, 0, 44100, true);
    std::vector<unsigned char> frame = lame.infoFrame;
    size_t tag = TagAt(frame);
    struct Case {
        const char* what;
        std::function<std::vector<unsigned char>()> bytes;
    } cases[] = {
        {"a music frame", [&] { return std::vector<unsigned char>(lame.music.begin(), lame.music.begin() + 417); }},
        {"cut short", [&] { return std::vector<unsigned char>(frame.begin(), frame.end() - 1); }},
        {"another word", [&] { auto b = frame; b[tag] = 'x'; return b; }},
        {"no quality field", [&] { auto b = frame; b[tag + 7] = 0x07; return b; }},
    };
    CInfoFrame info;
    EXPECT_TRUE(info.Read(frame.data(), frame.size())) << "as LAME wrote it";
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = c.bytes();
        CInfoFrame refused;
        EXPECT_FALSE(refused.Read(bytes.data(), bytes.size())) << c.what;
        EXPECT_TRUE(refused.Bytes().empty()) << c.what;
    }
}
