#include "CMp3Header.h"
#include <algorithm>

namespace {
const int kKbps[2][16] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
const int kRates[3][4] = {{44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}, {11025, 12000, 8000, 0}};

int BitrateIndex(const std::array<unsigned char, 4>& bytes) { return bytes[2] >> 4; }
int RateIndex(const std::array<unsigned char, 4>& bytes) { return (bytes[2] >> 2) & 3; }
} // namespace

bool CMp3Header::Parse(const unsigned char* from, CMp3Header& header) {
    CMp3Header parsed;
    std::copy_n(from, Size, parsed.bytes.begin());
    const auto& b = parsed.bytes;
    bool sync = b[0] == 0xFF && (b[1] & 0xE0) == 0xE0;
    bool knownVersion = (b[1] & 0x18) != 0x08;
    bool layer3 = (b[1] & 0x06) == 0x02;
    int bitrate = BitrateIndex(b);
    if (!sync || !knownVersion || !layer3 || bitrate == 0 || bitrate == 15 || RateIndex(b) == 3)
        return false;
    header = parsed;
    return true;
}

MpegVersion CMp3Header::Version() const {
    switch ((bytes[1] >> 3) & 3) {
    case 3:
        return MpegVersion::Mpeg1;
    case 2:
        return MpegVersion::Mpeg2;
    default:
        return MpegVersion::Mpeg25;
    }
}

void CMp3Header::SetPadding(bool padding) {
    bytes[2] = static_cast<unsigned char>(padding ? bytes[2] | 0x02 : bytes[2] & ~0x02);
}

int CMp3Header::Kbps() const {
    return kKbps[Version() == MpegVersion::Mpeg1 ? 0 : 1][BitrateIndex(bytes)];
}

int CMp3Header::SampleRate() const {
    return kRates[static_cast<int>(Version())][RateIndex(bytes)];
}

int CMp3Header::FrameLength() const {
    int perKbps = Version() == MpegVersion::Mpeg1 ? 144000 : 72000;
    return perKbps * Kbps() / SampleRate() + (Padding() ? 1 : 0);
}

int CMp3Header::SideInfoSize() const {
    if (Version() == MpegVersion::Mpeg1)
        return Channels() == 1 ? 17 : 32;
    return Channels() == 1 ? 9 : 17;
}
