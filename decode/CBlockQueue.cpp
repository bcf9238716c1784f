#include "CBlockQueue.h"
#include "framework/CSlimLockGuard.h"

void CBlockQueue::Open(size_t bytes) {
    CSlimLockGuard guard(lock);
    for (Block& block : queued)
        spare.push_back(std::move(block));
    queued.clear();
    queuedBytes = 0;
    limit = bytes;
    closed = false;
}

void CBlockQueue::Close() {
    {
        CSlimLockGuard guard(lock);
        closed = true;
    }
    WakeAllConditionVariable(&room);
    WakeAllConditionVariable(&data);
}

CBlockQueue::Block CBlockQueue::Spare() {
    if (spare.empty())
        return Block();
    Block block = std::move(spare.back());
    spare.pop_back();
    return block;
}

// The block is filled outside the lock: the reader takes queued blocks meanwhile.
bool CBlockQueue::Put(int size, double time, const std::function<void(unsigned char*)>& fill) {
    Block block;
    {
        CSlimLockGuard guard(lock);
        while (!closed && !queued.empty() && queuedBytes + size > limit)
            SleepConditionVariableSRW(&room, &lock, INFINITE, 0);
        if (closed)
            return false;
        block = Spare();
    }
    block.bytes.resize(static_cast<size_t>(size)); // may throw: the caller decides
    fill(block.bytes.data());
    block.time = time;
    return Queue(block);
}

bool CBlockQueue::Queue(Block& block) {
    {
        CSlimLockGuard guard(lock);
        if (closed)
            return false;
        queuedBytes += block.bytes.size();
        queued.push_back(std::move(block));
    }
    WakeConditionVariable(&data);
    return true;
}

CBlockQueue::Block* CBlockQueue::Take(DWORD waitMs) {
    CSlimLockGuard guard(lock);
    if (held.bytes.capacity() > 0)
        spare.push_back(std::move(held));
    held = Block();
    if (queued.empty() && !closed && waitMs > 0)
        SleepConditionVariableSRW(&data, &lock, waitMs, 0);
    if (queued.empty())
        return nullptr;
    held = std::move(queued.front());
    queued.pop_front();
    queuedBytes -= held.bytes.size();
    // A parked producer is woken once half the room is free, and then
    // refills it in one run instead of waking for every block.
    if (queuedBytes <= limit / 2)
        WakeConditionVariable(&room);
    return &held;
}
