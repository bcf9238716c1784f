#pragma once
#include "CMp3Packet.h"
#include "CStreamSummary.h"
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// Writes packets as one Layer III stream with a bit reservoir of its own:
// each packet's main data goes at the earliest place after the previous
// packet's, at most the largest main_data_begin back from its own slot, and
// ends within its own slot. Bytes no packet uses are zero. A frame's bytes
// are held until no later frame can put main data into them, so that only
// the frames within reach of the reservoir are pending.
class CFrameChain {
  public:
    static const int kNoLimit = 1 << 30;
    // reservoirLimit: the most bytes back a packet's main data may start,
    // below what main_data_begin can say (a test's smaller reservoir).
    explicit CFrameChain(int reservoirLimit = kNoLimit) : reservoirLimit(reservoirLimit) {}

    // Reservoir bytes the next packet could use now: from the end of the last
    // main data to the end of the last slot, at most the largest
    // main_data_begin. 0 before the first packet.
    int FreeBytes() const;
    // Whether Append would take the packet: its main data fits into the
    // free bytes and its own slot, and it has the MPEG version, sample rate
    // and channel count of the packets before it.
    bool Fits(const CMp3Packet& packet) const;
    // False, with nothing changed, when the packet does not fit.
    bool Append(const CMp3Packet& packet);

    // Moves the bytes of the frames that are final to the end of out.
    void TakeFinished(std::vector<unsigned char>& out);
    // Moves every pending byte to the end of out. The reservoir starts
    // empty again for the next packet; the summary goes on.
    void Finish(std::vector<unsigned char>& out);

    // The frames appended and the bytes that are final so far: the whole
    // stream after Finish.
    const CStreamSummary& Summary() const { return summary; }

  private:
    // Main data positions count the bytes of the slots only, from the start
    // of the chain; byte positions count every byte written.
    struct Frame {
        int64_t slotMain; // main data position of the slot's first byte
        int slotSize;
        uint64_t slotByte; // byte position of the slot's first byte
        uint64_t endByte;  // byte position after the frame
    };
    int64_t EarliestStart() const;
    void CopyMainData(int64_t at, const std::vector<unsigned char>& data);
    void CloseFrames(int64_t before);

    int reservoirLimit;
    bool started = false;
    CMp3Header format;
    int maxBegin = 0;
    int64_t mainEnd = 0;  // after the last packet's main data
    int64_t slotsEnd = 0; // after the last slot
    std::deque<Frame> open; // frames later main data may still reach
    std::vector<unsigned char> pending;
    uint64_t pendingByte = 0; // byte position of pending[0]
    size_t finished = 0;      // final bytes at the front of pending
    CStreamSummary summary;
};
