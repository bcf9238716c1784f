#pragma once
#include "CMp3Header.h"
#include <array>
#include <cstddef>
#include <cstdint>

// What LAME's info frame says about the music frames of a stream, gathered
// the way LAME gathers it: the frames, the bytes, the CRC of the bytes, the
// seek table from each frame's bit rate, and the mode extension of the last
// frame (which LAME copies into the info frame's header).
class CStreamSummary {
  public:
    static const int TocEntries = 100;

    // Frames and bytes may come in any interleaving, each in stream order.
    void AddFrame(const CMp3Header& header);
    void AddBytes(const unsigned char* bytes, size_t size);

    uint32_t Frames() const { return frames; }
    uint64_t Bytes() const { return bytes; }
    uint16_t MusicCrc() const { return crc; }
    int LastModeExtension() const { return lastModeExtension; }
    // Entry i: where i percent of the stream's duration starts, in 256ths of
    // the stream; all zero before the first frame.
    std::array<unsigned char, TocEntries> Toc() const;

  private:
    // LAME keeps running sums of the bit rates, one every `want` frames, in
    // a bag of fixed size; when the bag is full it keeps every second sum
    // and doubles `want`. Mirrored exactly, so the seek table is LAME's.
    static const int BagSize = 400;
    std::array<int64_t, BagSize> bag{};
    int bagUsed = 0;
    int want = 1;
    int seen = 0;
    int64_t kbpsSum = 0;

    uint32_t frames = 0;
    uint64_t bytes = 0;
    uint16_t crc = 0;
    int lastModeExtension = 0;
};
