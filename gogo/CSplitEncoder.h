#pragma once
#include "CFrameChain.h"
#include "CGoGoConfig.h"
#include "CMp3Packet.h"
#include "IFrameEncoder.h"
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// One stream encoded on several threads. The PCM is cut into blocks of a
// fixed number of frames; each block is encoded by a LAME instance of its
// own, started a few frames early so that its analysis is warm, and its
// frames are joined in order into one chain with a common bit reservoir.
// The layout depends only on the input, and every instance starts in the
// same state, so the stream is the same for any number of threads.
class CSplitEncoder : public IFrameEncoder {
  public:
    // reservoirLimit: the chain's, below what main_data_begin can say (for
    // tests of blocks that do not fit).
    CSplitEncoder(const CGoGoConfig& config, int threads,
                  int reservoirLimit = CFrameChain::kNoLimit);
    // Ends the workers; blocks not joined yet are dropped.
    ~CSplitEncoder() override;
    CSplitEncoder(const CSplitEncoder&) = delete;
    CSplitEncoder& operator=(const CSplitEncoder&) = delete;

    int Open();
    int Encode(const int* left, const int* right, int samples,
               std::vector<unsigned char>& out) override;
    int Flush(std::vector<unsigned char>& out) override;
    std::vector<unsigned char> InfoFrame() override;
    int FrameSamples() const override { return frameSamples; }
    int Delay() const override { return delay; }
    int Frames() const override { return frames; }

  private:
    struct CBlock {
        int index = 0;
        int lead = 0;      // frames encoded before the block's own, then dropped
        bool last = false; // ends the stream: keeps every frame to the end
        std::vector<int> left, right;
        // Filled by the worker.
        bool done = false;
        int result = GOGO_OK;
        std::vector<CMp3Packet> packets;
        std::vector<unsigned char> infoFrame; // the first block's, as LAME made it
    };

    // How a block's instance treats the bit reservoir: as one long encode
    // would, emptied right before the block's own frames, or not at all.
    enum class Reservoir { Carried, EmptiedFirst, Off };

    void Work();
    int EncodeBlock(CBlock& block, Reservoir reservoir) const;
    void Dispatch(bool last);
    int JoinOldest(std::vector<unsigned char>& out);
    bool AppendToChain(const std::vector<CMp3Packet>& packets);

    const CGoGoConfig config;
    const int threads;
    int frameSamples = 0;
    int delay = 0;
    int frames = 0; // joined so far
    uint64_t samplesIn = 0;

    // PCM read but not yet in a block: from the next block's lead onwards.
    std::vector<int> left, right;
    int nextIndex = 0;

    std::mutex lock;
    std::condition_variable workWaiting, blockDone;
    std::deque<std::shared_ptr<CBlock>> queue;    // not started
    std::deque<std::shared_ptr<CBlock>> inFlight; // dispatched, in order
    bool stopping = false;
    std::vector<std::thread> workers;

    CFrameChain chain;
    std::vector<unsigned char> infoFrame;
};
