#pragma once
#include <deque>
#include <functional>
#include <vector>
#include <windows.h>

// Converted blocks on their way from DirectShow's streaming thread to the
// reader. The producer runs up to a bound of bytes ahead, so the graph goes
// on decoding while the reader encodes; the reader takes every block once,
// in order. Slim locks and condition variables keep the hand-over off the
// Wine server, where every kernel event call is a round trip.
class CBlockQueue {
  public:
    struct Block {
        std::vector<unsigned char> bytes;
        double time = 0.0;
    };

    CBlockQueue() = default;
    CBlockQueue(const CBlockQueue&) = delete;
    CBlockQueue& operator=(const CBlockQueue&) = delete;

    // Empties the queue and opens it; the producer may run limit bytes ahead
    // (always at least one block).
    void Open(size_t limit);
    // Closes it: a producer waiting for room returns at once, puts are refused.
    void Close();
    // Producer: waits for room, then queues a block of size bytes that fill
    // writes. False when the queue is closed; std::bad_alloc when the memory
    // ran out.
    bool Put(int size, double time, const std::function<void(unsigned char*)>& fill);
    // Reader: the next block, which stays the reader's until the next Take;
    // waits up to waitMs for one on an empty open queue, and answers null
    // when none came (also, rarely, before the time is up).
    Block* Take(DWORD waitMs = 0);

  private:
    bool Queue(Block& block);
    Block Spare();

    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE room = CONDITION_VARIABLE_INIT, data = CONDITION_VARIABLE_INIT;
    std::deque<Block> queued;
    std::vector<Block> spare; // emptied blocks, kept for their memory
    Block held;
    size_t queuedBytes = 0, limit = 0;
    bool closed = true;
};
