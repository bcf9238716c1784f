#pragma once
#include <array>

enum class MpegVersion { Mpeg1, Mpeg2, Mpeg25 };

// The four bytes that start a Layer III frame, and what follows from them:
// the frame's length, the size of its side information and of the slot that
// carries main data. Only frames with a bit rate index are taken: in free
// format the length is not in the header.
class CMp3Header {
  public:
    static const int Size = 4;

    // False unless bytes start a Layer III frame with a known bit rate and
    // sample rate.
    static bool Parse(const unsigned char* bytes, CMp3Header& header);

    const std::array<unsigned char, Size>& Bytes() const { return bytes; }
    MpegVersion Version() const;
    bool Protected() const { return (bytes[1] & 0x01) == 0; }
    bool Padding() const { return (bytes[2] & 0x02) != 0; }
    void SetPadding(bool padding);
    int Kbps() const;
    int SampleRate() const;
    int Channels() const { return (bytes[3] >> 6) == 3 ? 1 : 2; }
    int ModeExtension() const { return (bytes[3] >> 4) & 3; }

    int FrameLength() const;
    int CrcSize() const { return Protected() ? 2 : 0; }
    int SideInfoSize() const;
    // Header, CRC and side information: the bytes before the slot.
    int HeadSize() const { return Size + CrcSize() + SideInfoSize(); }
    int SlotSize() const { return FrameLength() - HeadSize(); }
    int Granules() const { return Version() == MpegVersion::Mpeg1 ? 2 : 1; }
    // How far back main data may start: main_data_begin has 9 bits in
    // MPEG-1 and 8 bits in MPEG-2 and 2.5.
    int MaxMainDataBegin() const { return Version() == MpegVersion::Mpeg1 ? 511 : 255; }

  private:
    std::array<unsigned char, Size> bytes{};
};
