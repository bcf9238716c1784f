#include "CBlockQueue.h"

namespace {

class CLockHolder {
  public:
    explicit CLockHolder(SRWLOCK& lock) : lock(lock) { AcquireSRWLockExclusive(&lock); }
    ~CLockHolder() { ReleaseSRWLockExclusive(&lock); }

  private:
    SRWLOCK& lock;
};

} // namespace

CBlockQueue::CBlockQueue() : dataEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void CBlockQueue::Open(size_t bytes) {
    CLockHolder holder(lock);
    for (Block& block : queued)
        spare.push_back(std::move(block));
    queued.clear();
    queuedBytes = 0;
    limit = bytes;
    closed = false;
    readerWaiting = false;
    ResetEvent(dataEvent.Get());
}

void CBlockQueue::Close() {
    {
        CLockHolder holder(lock);
        closed = true;
    }
    WakeAllConditionVariable(&room);
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
        CLockHolder holder(lock);
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
    bool wake = false;
    {
        CLockHolder holder(lock);
        if (closed)
            return false;
        queuedBytes += block.bytes.size();
        queued.push_back(std::move(block));
        wake = readerWaiting;
        readerWaiting = false;
    }
    if (wake)
        SetEvent(dataEvent.Get());
    return true;
}

CBlockQueue::Block* CBlockQueue::Take() {
    CLockHolder holder(lock);
    if (held.bytes.capacity() > 0)
        spare.push_back(std::move(held));
    held = Block();
    if (queued.empty()) {
        readerWaiting = true;
        return nullptr;
    }
    held = std::move(queued.front());
    queued.pop_front();
    queuedBytes -= held.bytes.size();
    WakeConditionVariable(&room);
    return &held;
}
