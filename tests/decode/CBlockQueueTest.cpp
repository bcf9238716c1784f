#include "decode/CBlockQueue.h"
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Puts a block of size bytes, each byte the given value.
bool PutFilled(CBlockQueue& queue, int size, unsigned char value) {
    return queue.Put(size, value, [&](unsigned char* out) { std::memset(out, value, size); });
}

} // namespace

// The producer parks whenever 3 blocks wait; the reader still gets all 200,
// each once, in order, with its own bytes and time.
TEST(CBlockQueue, EveryBlockArrivesOnceAndInOrderPastAFullQueue) {
    CBlockQueue queue;
    queue.Open(3 * 100);
    std::thread producer([&] {
        for (int i = 0; i < 200; ++i)
            ASSERT_TRUE(PutFilled(queue, 100, static_cast<unsigned char>(i)));
    });
    for (int i = 0; i < 200; ++i) {
        CBlockQueue::Block* block = nullptr;
        while (!(block = queue.Take(1000))) {
        }
        ASSERT_EQ(100u, block->bytes.size());
        EXPECT_EQ(static_cast<unsigned char>(i), block->bytes.front());
        EXPECT_EQ(static_cast<unsigned char>(i), block->bytes.back());
        EXPECT_EQ(static_cast<double>(static_cast<unsigned char>(i)), block->time);
    }
    producer.join();
    EXPECT_EQ(nullptr, queue.Take());
}

TEST(CBlockQueue, ClosingReleasesAParkedProducerAndRefusesMore) {
    CBlockQueue queue;
    queue.Open(100);
    ASSERT_TRUE(PutFilled(queue, 100, 1));
    bool put = true;
    std::thread producer([&] { put = PutFilled(queue, 100, 2); }); // parks: the queue is full
    Sleep(100);
    const DWORD before = GetTickCount();
    queue.Close();
    producer.join();
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_FALSE(put);
    EXPECT_FALSE(PutFilled(queue, 1, 3));
    // What was queued before still reaches the reader; opening again empties it.
    ASSERT_NE(nullptr, queue.Take());
    queue.Open(100);
    EXPECT_EQ(nullptr, queue.Take());
}

TEST(CBlockQueue, AWaitingReaderIsWokenByTheNextPutAndByClose) {
    CBlockQueue queue;
    queue.Open(1000);
    EXPECT_EQ(nullptr, queue.Take(50)); // waits its time out on an empty queue
    DWORD before = GetTickCount();
    std::thread producer([&] {
        Sleep(100);
        PutFilled(queue, 10, 7);
    });
    EXPECT_NE(nullptr, queue.Take(5000));
    EXPECT_LT(GetTickCount() - before, 2000u);
    producer.join();
    std::thread closer([&] {
        Sleep(100);
        queue.Close();
    });
    before = GetTickCount();
    EXPECT_EQ(nullptr, queue.Take(5000));
    EXPECT_LT(GetTickCount() - before, 2000u);
    closer.join();
    // A block larger than the bound still goes in when nothing waits.
    queue.Open(1000);
    EXPECT_TRUE(PutFilled(queue, 5000, 8));
}
