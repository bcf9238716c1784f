#pragma once
#include "CMp3Header.h"
#include <array>
#include <cstddef>
#include <vector>

// One Layer III frame taken out of its bit reservoir: header, side
// information and the frame's own main data, so that it can be written into
// another stream at another place (CFrameChain).
class CMp3Packet {
  public:
    static const int MaxSideInfoSize = 32;

    // Takes the header and side information of the frame that starts at
    // bytes; the main data stays empty. False when it is no Layer III frame
    // with a bit rate index, or size does not hold its header and side
    // information.
    bool ReadHead(const unsigned char* bytes, size_t size);

    const CMp3Header& Header() const { return header; }
    bool HasCrc() const { return header.Protected(); }
    int FrameLength() const { return header.FrameLength(); }
    int HeadSize() const { return header.HeadSize(); }
    int SlotSize() const { return header.SlotSize(); }
    const unsigned char* SideInfo() const { return sideInfo.data(); }
    int SideInfoSize() const { return header.SideInfoSize(); }

    int MainDataBegin() const;
    void SetMainDataBegin(int begin); // 0 to Header().MaxMainDataBegin()
    // One more byte of slot, or one less.
    void SetPadding(bool padding) { header.SetPadding(padding); }

    // No side information at all: the place LAME keeps for its info frame.
    // An audio frame never is, since it always has a global gain.
    bool Blank() const;

    // Sum of part2_3_length over granules and channels.
    int MainDataBits() const;
    // Whole bytes: the last one may end in stuffing bits.
    int MainDataSize() const { return (MainDataBits() + 7) / 8; }
    const std::vector<unsigned char>& MainData() const { return mainData; }
    // Copies MainDataSize() bytes.
    void TakeMainData(const unsigned char* from);

    // Header, CRC (computed afresh when the frame has one) and side
    // information with mainDataBegin in it: HeadSize() bytes.
    void WriteHead(unsigned char* out, int mainDataBegin) const;

  private:
    CMp3Header header;
    std::array<unsigned char, MaxSideInfoSize> sideInfo{};
    std::vector<unsigned char> mainData;
};

// Splits whole Layer III frames, as one encoder wrote them with the bit
// reservoir in use, into packets. False when a frame is not whole or not
// Layer III, is in free format, or its main data starts before the buffer,
// overlaps the previous frame's or runs past its own slot; packets is then
// empty.
bool UnpackMp3Frames(const unsigned char* bytes, size_t size, std::vector<CMp3Packet>& packets);
