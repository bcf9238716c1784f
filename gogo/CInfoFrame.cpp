#include "CInfoFrame.h"
#include "CMp3Header.h"
#include "Mp3Crc.h"
#include <algorithm>
#include <cstring>

namespace {
// Offsets from the "Xing" or "Info" word, in LAME's layout.
const size_t kFlags = 4;
const size_t kFrames = 8;
const size_t kBytes = 12;
const size_t kToc = 16;
const size_t kDelayAndPadding = 141;
const size_t kMusicLength = 148;
const size_t kMusicCrc = 152;
const size_t kTagCrc = 154;
const size_t kTagEnd = 156;
const unsigned char kAllFields = 0x0F; // frames, bytes, seek table, quality

void PutBigEndian(unsigned char* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * (bytes - 1 - i)));
}
} // namespace

bool CInfoFrame::Read(const unsigned char* bytes, size_t size) {
    CMp3Header header;
    if (size < CMp3Header::Size || !CMp3Header::Parse(bytes, header))
        return false;
    // LAME puts the tag where it would be without CRC, also when the frame
    // has one.
    size_t at = CMp3Header::Size + static_cast<size_t>(header.SideInfoSize());
    if (size < at + kTagEnd || static_cast<size_t>(header.FrameLength()) != size)
        return false;
    const unsigned char* word = bytes + at;
    bool named = std::memcmp(word, "Xing", 4) == 0 || std::memcmp(word, "Info", 4) == 0;
    bool allFields = word[kFlags] == 0 && word[kFlags + 1] == 0 && word[kFlags + 2] == 0 &&
                     word[kFlags + 3] == kAllFields;
    if (!named || !allFields)
        return false;
    frame.assign(bytes, bytes + size);
    xing = at;
    return true;
}

void CInfoFrame::SetStream(const CStreamSummary& stream) {
    if (frame.empty())
        return;
    unsigned char* word = frame.data() + xing;
    auto streamBytes = static_cast<uint32_t>(stream.Bytes() + frame.size());
    PutBigEndian(word + kFrames, stream.Frames(), 4);
    PutBigEndian(word + kBytes, streamBytes, 4);
    auto toc = stream.Toc();
    std::copy(toc.begin(), toc.end(), word + kToc);
    PutBigEndian(word + kMusicLength, streamBytes, 4);
    PutBigEndian(word + kMusicCrc, stream.MusicCrc(), 2);
    if (stream.Frames() > 0)
        frame[3] = static_cast<unsigned char>((frame[3] & 0xCF) | stream.LastModeExtension() << 4);
    UpdateCrcs();
}

void CInfoFrame::SetDelayAndPadding(int delay, int padding) {
    if (frame.empty())
        return;
    auto delayBits = static_cast<uint32_t>(std::clamp(delay, 0, 4095));
    auto paddingBits = static_cast<uint32_t>(std::clamp(padding, 0, 4095));
    PutBigEndian(frame.data() + xing + kDelayAndPadding, delayBits << 12 | paddingBits, 3);
    UpdateCrcs();
}

void CInfoFrame::UpdateCrcs() {
    CMp3Header header;
    CMp3Header::Parse(frame.data(), header);
    // The frame's own CRC first: the tag's CRC covers it.
    if (header.Protected()) {
        uint16_t crc = Mp3FrameCrc(frame.data(), frame.data() + 6, header.SideInfoSize());
        PutBigEndian(frame.data() + 4, crc, 2);
    }
    uint16_t tagCrc = UpdateLameCrc(0, frame.data(), xing + kTagCrc);
    PutBigEndian(frame.data() + xing + kTagCrc, tagCrc, 2);
}
