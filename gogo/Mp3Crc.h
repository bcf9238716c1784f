#pragma once
#include <cstddef>
#include <cstdint>

// The two CRC-16s of an MP3 stream.

// A protected frame's check word: polynomial 0x8005, most significant bit
// first, starting at 0xFFFF, over header bytes 2 and 3 and the side
// information. Stored big-endian after the header.
uint16_t Mp3FrameCrc(const unsigned char* header, const unsigned char* sideInfo, int sideInfoSize);

// The CRC that LAME's info frame keeps of the music and of the tag itself:
// the same polynomial, bit-reversed (0xA001, least significant bit first),
// starting at 0. Continues crc over size more bytes.
uint16_t UpdateLameCrc(uint16_t crc, const unsigned char* bytes, size_t size);
