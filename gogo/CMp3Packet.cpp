#include "CMp3Packet.h"
#include "Mp3Crc.h"
#include <algorithm>
#include <cstdint>

namespace {
// Fields of the side information, most significant bit first.
int ReadBits(const unsigned char* bytes, int at, int count) {
    int value = 0;
    for (int i = at; i < at + count; ++i)
        value = value << 1 | ((bytes[i / 8] >> (7 - i % 8)) & 1);
    return value;
}

void WriteBits(unsigned char* bytes, int at, int count, int value) {
    for (int i = 0; i < count; ++i) {
        int bit = at + i;
        auto mask = static_cast<unsigned char>(0x80 >> (bit % 8));
        if ((value >> (count - 1 - i)) & 1)
            bytes[bit / 8] |= mask;
        else
            bytes[bit / 8] &= static_cast<unsigned char>(~mask);
    }
}

int MainDataBeginBits(const CMp3Header& header) {
    return header.Version() == MpegVersion::Mpeg1 ? 9 : 8;
}
} // namespace

bool CMp3Packet::ReadHead(const unsigned char* bytes, size_t size) {
    CMp3Header read;
    if (size < CMp3Header::Size || !CMp3Header::Parse(bytes, read) ||
        size < static_cast<size_t>(read.HeadSize()))
        return false;
    header = read;
    sideInfo.fill(0);
    std::copy_n(bytes + CMp3Header::Size + header.CrcSize(), header.SideInfoSize(), sideInfo.begin());
    mainData.clear();
    return true;
}

int CMp3Packet::MainDataBegin() const {
    return ReadBits(sideInfo.data(), 0, MainDataBeginBits(header));
}

void CMp3Packet::SetMainDataBegin(int begin) {
    WriteBits(sideInfo.data(), 0, MainDataBeginBits(header), begin);
}

bool CMp3Packet::Blank() const {
    return std::all_of(sideInfo.begin(), sideInfo.begin() + header.SideInfoSize(),
                       [](unsigned char b) { return b == 0; });
}

int CMp3Packet::MainDataBits() const {
    // Each granule and channel has a record of fixed size that starts with
    // part2_3_length (12 bits), after main_data_begin, the private bits and,
    // in MPEG-1, the scale factor selection (4 bits per channel).
    bool mpeg1 = header.Version() == MpegVersion::Mpeg1;
    int channels = header.Channels();
    int privateBits = mpeg1 ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2);
    int first = MainDataBeginBits(header) + privateBits + (mpeg1 ? 4 * channels : 0);
    int record = mpeg1 ? 59 : 63;
    int bits = 0;
    for (int i = 0; i < header.Granules() * channels; ++i)
        bits += ReadBits(sideInfo.data(), first + i * record, 12);
    return bits;
}

void CMp3Packet::TakeMainData(const unsigned char* from) {
    mainData.assign(from, from + MainDataSize());
}

void CMp3Packet::WriteHead(unsigned char* out, int mainDataBegin) const {
    const auto& bytes = header.Bytes();
    std::copy(bytes.begin(), bytes.end(), out);
    unsigned char* side = out + CMp3Header::Size + header.CrcSize();
    std::copy_n(sideInfo.begin(), header.SideInfoSize(), side);
    WriteBits(side, 0, MainDataBeginBits(header), mainDataBegin);
    if (header.Protected()) {
        uint16_t crc = Mp3FrameCrc(out, side, header.SideInfoSize());
        out[4] = static_cast<unsigned char>(crc >> 8);
        out[5] = static_cast<unsigned char>(crc);
    }
}

bool UnpackMp3Frames(const unsigned char* bytes, size_t size, std::vector<CMp3Packet>& packets) {
    packets.clear();
    std::vector<CMp3Packet> unpacked;
    // The slots one after another: main_data_begin counts back through them.
    std::vector<unsigned char> slots;
    size_t mainEnd = 0;
    for (size_t at = 0; at < size;) {
        CMp3Packet packet;
        if (!packet.ReadHead(bytes + at, size - at) ||
            static_cast<size_t>(packet.FrameLength()) > size - at)
            return false;
        size_t slotStart = slots.size();
        slots.insert(slots.end(), bytes + at + packet.HeadSize(), bytes + at + packet.FrameLength());
        auto begin = static_cast<size_t>(packet.MainDataBegin());
        auto length = static_cast<size_t>(packet.MainDataSize());
        if (begin > slotStart || slotStart - begin < mainEnd ||
            slotStart - begin + length > slots.size())
            return false;
        packet.TakeMainData(slots.data() + (slotStart - begin));
        mainEnd = slotStart - begin + length;
        unpacked.push_back(std::move(packet));
        at += static_cast<size_t>(unpacked.back().FrameLength());
    }
    packets = std::move(unpacked);
    return true;
}
