#include "Mp3Crc.h"
#include <array>

namespace {
uint16_t FrameCrcByte(uint16_t crc, unsigned char byte) {
    for (int bit = 7; bit >= 0; --bit) {
        bool feedback = ((crc >> 15) ^ (byte >> bit)) & 1;
        crc = static_cast<uint16_t>(crc << 1);
        if (feedback)
            crc ^= 0x8005;
    }
    return crc;
}

// A table per byte: the music CRC runs over the whole stream.
constexpr std::array<uint16_t, 256> LameCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = static_cast<uint16_t>(crc);
    }
    return table;
}
constexpr std::array<uint16_t, 256> kLameCrc = LameCrcTable();
} // namespace

uint16_t Mp3FrameCrc(const unsigned char* header, const unsigned char* sideInfo, int sideInfoSize) {
    uint16_t crc = 0xFFFF;
    crc = FrameCrcByte(crc, header[2]);
    crc = FrameCrcByte(crc, header[3]);
    for (int i = 0; i < sideInfoSize; ++i)
        crc = FrameCrcByte(crc, sideInfo[i]);
    return crc;
}

uint16_t UpdateLameCrc(uint16_t crc, const unsigned char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i)
        crc = static_cast<uint16_t>((crc >> 8) ^ kLameCrc[(crc ^ bytes[i]) & 0xFF]);
    return crc;
}
