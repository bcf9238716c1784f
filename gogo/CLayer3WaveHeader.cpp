#include "CLayer3WaveHeader.h"
#include <cstring>

namespace {
class ByteWriter {
  public:
    explicit ByteWriter(unsigned char* out) : out(out) {}
    void Tag(const char* text) {
        std::memcpy(out, text, 4);
        out += 4;
    }
    void U16(uint32_t value) { Little(value, 2); }
    void U32(uint32_t value) { Little(value, 4); }

  private:
    void Little(uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            *out++ = static_cast<unsigned char>(value >> (8 * i));
    }
    unsigned char* out;
};

const uint16_t kFormatMpegLayer3 = 0x55;
const uint16_t kExtraBytes = 12;
const uint16_t kIdMpeg = 1;
const uint32_t kPaddingIso = 0; // LAME pads frames as the standard says
const uint32_t kFormatSize = 18 + kExtraBytes;
} // namespace

std::array<unsigned char, CLayer3WaveHeader::Size> CLayer3WaveHeader::Bytes() const {
    std::array<unsigned char, Size> bytes{};
    ByteWriter out(bytes.data());
    out.Tag("RIFF");
    out.U32(Size - 8 + dataSize + (padded ? 1 : 0));
    out.Tag("WAVE");
    out.Tag("fmt ");
    out.U32(kFormatSize);
    out.U16(kFormatMpegLayer3);
    out.U16(channels);
    out.U32(samplesPerSecond);
    out.U32(averageBytesPerSecond);
    out.U16(1); // block align: frames are byte streams
    out.U16(0); // bits per sample
    out.U16(kExtraBytes);
    out.U16(kIdMpeg);
    out.U32(kPaddingIso);
    out.U16(blockSize);
    out.U16(1); // frames per block
    out.U16(codecDelay);
    out.Tag("fact");
    out.U32(4);
    out.U32(sampleLength);
    out.Tag("data");
    out.U32(dataSize);
    return bytes;
}
