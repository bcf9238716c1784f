#include "CSplitEncoder.h"
#include "CInfoFrame.h"
#include "CLame.h"
#include <algorithm>

namespace {

constexpr int kBlockFrames = 256; // a block's own frames
constexpr int kLeadFrames = 4;    // encoded first and dropped: the analysis warms up
// Frames of input after a block's own: its last frames see real sound
// ahead, as in one long encode, before the instance is flushed.
constexpr int kTailFrames = 3;
// Blocks dispatched but not joined, per thread: bounds the memory.
constexpr size_t kBlocksPerThread = 2;

} // namespace

CSplitEncoder::CSplitEncoder(const CGoGoConfig& config, int threads, int reservoirLimit)
    : config(config), threads(threads), chain(reservoirLimit) {}

CSplitEncoder::~CSplitEncoder() {
    {
        std::lock_guard<std::mutex> held(lock);
        stopping = true;
        queue.clear();
    }
    workWaiting.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

// A first instance tells the frame size and delay every block shares.
int CSplitEncoder::Open() {
    CLame probe;
    if (int result = probe.Open(config, false))
        return result;
    frameSamples = probe.FrameSamples();
    delay = probe.Delay();
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([this] { Work(); });
    return GOGO_OK;
}

int CSplitEncoder::Encode(const int* leftIn, const int* rightIn, int samples,
                          std::vector<unsigned char>& out) {
    left.insert(left.end(), leftIn, leftIn + samples);
    right.insert(right.end(), rightIn, rightIn + samples);
    samplesIn += static_cast<uint64_t>(samples);
    const int lead = nextIndex == 0 ? 0 : kLeadFrames;
    if (left.size() >= static_cast<size_t>((lead + kBlockFrames + kTailFrames) * frameSamples))
        Dispatch(false);
    while (!inFlight.empty()) {
        bool full = inFlight.size() >= kBlocksPerThread * static_cast<size_t>(threads);
        {
            std::lock_guard<std::mutex> held(lock);
            if (!full && !inFlight.front()->done)
                break;
        }
        if (int result = JoinOldest(out))
            return result;
    }
    return GOGO_OK;
}

int CSplitEncoder::Flush(std::vector<unsigned char>& out) {
    Dispatch(true);
    while (!inFlight.empty())
        if (int result = JoinOldest(out))
            return result;
    chain.Finish(out);
    return GOGO_OK;
}

std::vector<unsigned char> CSplitEncoder::InfoFrame() {
    if (infoFrame.empty())
        return {};
    const uint64_t padded = static_cast<uint64_t>(frames) * static_cast<uint64_t>(frameSamples);
    const uint64_t padding = padded - std::min(padded, samplesIn + static_cast<uint64_t>(delay));
    CInfoFrame info;
    if (!info.Read(infoFrame.data(), infoFrame.size()))
        return {};
    info.SetStream(chain.Summary());
    info.SetDelayAndPadding(delay, static_cast<int>(padding));
    return info.Bytes();
}

// The PCM read so far starts at the block's lead; the next block's lead
// stays behind.
void CSplitEncoder::Dispatch(bool last) {
    auto block = std::make_shared<CBlock>();
    block->index = nextIndex++;
    block->lead = block->index == 0 ? 0 : kLeadFrames;
    block->last = last;
    const size_t take =
        last ? left.size()
             : static_cast<size_t>((block->lead + kBlockFrames + kTailFrames) * frameSamples);
    block->left.assign(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(take));
    block->right.assign(right.begin(), right.begin() + static_cast<std::ptrdiff_t>(take));
    const size_t used =
        last ? left.size()
             : static_cast<size_t>((block->lead + kBlockFrames - kLeadFrames) * frameSamples);
    left.erase(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(used));
    right.erase(right.begin(), right.begin() + static_cast<std::ptrdiff_t>(used));
    {
        std::lock_guard<std::mutex> held(lock);
        queue.push_back(block);
        inFlight.push_back(block);
    }
    workWaiting.notify_one();
}

void CSplitEncoder::Work() {
    for (;;) {
        std::shared_ptr<CBlock> block;
        {
            std::unique_lock<std::mutex> held(lock);
            workWaiting.wait(held, [this] { return stopping || !queue.empty(); });
            if (stopping)
                return;
            block = queue.front();
            queue.pop_front();
        }
        int result = GOGO_ERR_MEMORY; // nothing may unwind out of a thread
        try {
            result = EncodeBlock(*block, Reservoir::Carried);
        } catch (...) {
        }
        {
            std::lock_guard<std::mutex> held(lock);
            block->result = result;
            block->done = true;
        }
        blockDone.notify_all();
    }
}

int CSplitEncoder::EncodeBlock(CBlock& block, Reservoir reservoir) const {
    CLame lame;
    if (int result = lame.Open(config, block.index == 0 && !config.riffWave,
                               reservoir != Reservoir::Off))
        return result;
    std::vector<unsigned char> bytes;
    const int total = static_cast<int>(block.left.size());
    // A frame's worth at a time: each call encodes at most one frame, so the
    // reservoir is emptied right before the first frame kept.
    for (int at = 0; at < total; at += frameSamples) {
        if (reservoir == Reservoir::EmptiedFirst && lame.Frames() == block.lead)
            if (int result = lame.EmptyReservoir(bytes))
                return result;
        const int count = std::min(frameSamples, total - at);
        if (int result = lame.Encode(&block.left[at], &block.right[at], count, bytes))
            return result;
    }
    if (int result = lame.Flush(bytes))
        return result;
    std::vector<CMp3Packet> packets;
    if (!UnpackMp3Frames(bytes.data(), bytes.size(), packets))
        return GOGO_ERR_ENCODER;
    // LAME leaves its info frame out where a frame is too small to hold it:
    // whether it wrote one shows in the stream.
    const bool info = block.index == 0 && !packets.empty() && packets.front().Blank();
    if (info && (block.infoFrame = lame.InfoFrame()).empty())
        return GOGO_ERR_ENCODER;
    // An empty stream's last block may hold no frame at all.
    size_t first = static_cast<size_t>(block.lead) + (info ? 1 : 0);
    if (block.last)
        first = std::min(first, packets.size());
    const size_t end = block.last ? packets.size() : first + kBlockFrames;
    if (packets.size() < end)
        return GOGO_ERR_ENCODER;
    block.packets.assign(packets.begin() + static_cast<std::ptrdiff_t>(first),
                         packets.begin() + static_cast<std::ptrdiff_t>(end));
    return GOGO_OK;
}

// In order: a block whose frames need more of the reservoir than the chain
// has left is encoded again, starting its frames with an empty reservoir,
// and failing that without one (each frame then fits in its own slot).
int CSplitEncoder::JoinOldest(std::vector<unsigned char>& out) {
    std::shared_ptr<CBlock> block = inFlight.front();
    {
        std::unique_lock<std::mutex> held(lock);
        blockDone.wait(held, [&] { return block->done; });
    }
    inFlight.pop_front();
    if (block->result)
        return block->result;
    bool joined = AppendToChain(block->packets);
    for (Reservoir again : {Reservoir::EmptiedFirst, Reservoir::Off}) {
        if (joined)
            break;
        if (int result = EncodeBlock(*block, again))
            return result;
        joined = AppendToChain(block->packets);
    }
    if (!joined)
        return GOGO_ERR_ENCODER;
    frames += static_cast<int>(block->packets.size());
    // The info frame's place, kept as LAME keeps it: its header, then zeros
    // until the frame is complete at the end.
    if (block->index == 0 && !block->infoFrame.empty()) {
        infoFrame = std::move(block->infoFrame);
        out.insert(out.end(), infoFrame.begin(), infoFrame.begin() + 4);
        out.insert(out.end(), infoFrame.size() - 4, 0);
    }
    chain.TakeFinished(out);
    return GOGO_OK;
}

// All of the packets or none: the chain that takes them all replaces the
// one before.
bool CSplitEncoder::AppendToChain(const std::vector<CMp3Packet>& packets) {
    CFrameChain trial = chain;
    for (const CMp3Packet& packet : packets)
        if (!trial.Append(packet))
            return false;
    chain = std::move(trial);
    return true;
}
