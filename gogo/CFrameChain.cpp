#include "CFrameChain.h"
#include <algorithm>

int64_t CFrameChain::EarliestStart() const {
    return std::max(mainEnd, slotsEnd - maxBegin);
}

int CFrameChain::FreeBytes() const {
    return static_cast<int>(slotsEnd - EarliestStart());
}

bool CFrameChain::Fits(const CMp3Packet& packet) const {
    const CMp3Header& header = packet.Header();
    if (started && (header.Version() != format.Version() ||
                    header.SampleRate() != format.SampleRate() ||
                    header.Channels() != format.Channels()))
        return false;
    return packet.MainDataSize() <= FreeBytes() + packet.SlotSize();
}

bool CFrameChain::Append(const CMp3Packet& packet) {
    if (!Fits(packet))
        return false;
    if (!started) {
        started = true;
        format = packet.Header();
        maxBegin = std::min(format.MaxMainDataBegin(), reservoirLimit);
    }
    int64_t start = EarliestStart();
    size_t at = pending.size();
    pending.resize(at + static_cast<size_t>(packet.FrameLength()), 0);
    packet.WriteHead(pending.data() + at, static_cast<int>(slotsEnd - start));
    uint64_t frameByte = pendingByte + at;
    open.push_back({slotsEnd, packet.SlotSize(), frameByte + static_cast<uint64_t>(packet.HeadSize()),
                    frameByte + static_cast<uint64_t>(packet.FrameLength())});
    CopyMainData(start, packet.MainData());
    mainEnd = start + packet.MainDataSize();
    slotsEnd += packet.SlotSize();
    summary.AddFrame(packet.Header());
    CloseFrames(EarliestStart());
    return true;
}

void CFrameChain::CopyMainData(int64_t at, const std::vector<unsigned char>& data) {
    size_t copied = 0;
    for (const Frame& frame : open) {
        int64_t slotEnd = frame.slotMain + frame.slotSize;
        if (copied == data.size())
            break;
        if (at >= slotEnd)
            continue;
        auto offset = static_cast<size_t>(at - frame.slotMain);
        size_t count = std::min(data.size() - copied, static_cast<size_t>(slotEnd - at));
        auto into = static_cast<size_t>(frame.slotByte - pendingByte) + offset;
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(copied), count, pending.begin() + static_cast<std::ptrdiff_t>(into));
        copied += count;
        at += static_cast<int64_t>(count);
    }
}

// Frames whose slots end at or before `before` are final: no later main
// data can start earlier.
void CFrameChain::CloseFrames(int64_t before) {
    while (!open.empty() && open.front().slotMain + open.front().slotSize <= before) {
        auto end = static_cast<size_t>(open.front().endByte - pendingByte);
        summary.AddBytes(pending.data() + finished, end - finished);
        finished = end;
        open.pop_front();
    }
}

void CFrameChain::TakeFinished(std::vector<unsigned char>& out) {
    out.insert(out.end(), pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(finished));
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(finished));
    pendingByte += finished;
    finished = 0;
}

void CFrameChain::Finish(std::vector<unsigned char>& out) {
    CloseFrames(slotsEnd);
    TakeFinished(out);
    started = false;
    maxBegin = 0;
    mainEnd = 0;
    slotsEnd = 0;
}
