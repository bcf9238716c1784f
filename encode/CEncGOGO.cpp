#include "CEncGOGO.h"
#include "framework/OutputFile.h"
#include "resources/ErrorNumbers.h"
#include <algorithm>
#include <cstring>
#include <new>

namespace {
const int kQueueSize = 0xC0000;
const int kCompactBound = 0x30000;
const int kFrameThreshold = 10000; // queued bytes that make a frame worth encoding
const int kFileError = 24;
const size_t kWriteChunk = 0x10000;
} // namespace

thread_local CEncGOGO* CEncGOGO::active = nullptr;

CEncGOGO::CEncGOGO() { active = this; }

CEncGOGO::~CEncGOGO() {
    Close();
    loader.Unload();
    if (active == this)
        active = nullptr; // a late callback must not reach a destroyed encoder
}

// The library calls back on the thread that encodes, which need not be
// the one that made this encoder.
int CEncGOGO::Start(const WAVEFORMATEX& format, const std::wstring& path, int riffOutput,
                    const CMp3Options& options) {
    active = this;
    queued = 0;
    this->riffOutput = riffOutput;
    settings = options;
    if (loader.Load() != 0)
        return kCancelled;
    GOGO_INPUT input = {&InputFunction, GOGO_UNKNOWN_LENGTH, format.wBitsPerSample,
                        format.nSamplesPerSec, format.nChannels};
    loader.SetConfigure(GOGO_ITEM_INPUT, GOGO_INPUT_BY_FUNCTION,
                        reinterpret_cast<uintptr_t>(&input));
    loader.SetConfigure(GOGO_ITEM_CHANNEL_MODE, static_cast<uintptr_t>(settings.channelMode), 0);
    ConfigureBitRate();
    if (riffOutput)
        loader.SetConfigure(GOGO_ITEM_RIFF_WAVE, 1, 0);
    // A library that cannot split a stream over threads ignores the item.
    if (settings.split)
        loader.SetConfigure(GOGO_ITEM_THREADS, static_cast<uintptr_t>(settings.threads), 1);
    if (int opened = OpenFile(path))
        return opened;
    loader.SetConfigure(GOGO_ITEM_OUTPUT, GOGO_OUTPUT_BY_FUNCTION,
                        reinterpret_cast<uintptr_t>(&OutputFunction));
    // Digital silence at the end is sound: with the count the library need
    // not take zero samples for the fill of the last read. One without the
    // item reads through the plain function.
    loader.SetConfigure(GOGO_ITEM_COUNTED_INPUT, reinterpret_cast<uintptr_t>(&CountedInputFunction),
                        0);
    int detected = loader.DetectConfigure();
    if (detected == GOGO_ERR_BITRATE)
        return kMp3BitRateRefused;
    if (detected != 0)
        return kMp3SettingsRefused;
    if (!queue.Resize(kQueueSize))
        return kMp3NoQueue;
    queueBase = readPosition = queue.data;
    queued = 0;
    return 0;
}

void CEncGOGO::ConfigureBitRate() {
    if (settings.vbr) {
        loader.SetConfigure(GOGO_ITEM_VBR_QUALITY, static_cast<uintptr_t>(settings.vbrQuality), 0);
        loader.SetConfigure(GOGO_ITEM_BITRATE, static_cast<uintptr_t>(settings.vbrKbps), 0);
        loader.SetConfigure(GOGO_ITEM_VBR_LIMITS, static_cast<uintptr_t>(settings.vbrKbps), 160);
    } else {
        loader.SetConfigure(GOGO_ITEM_BITRATE, static_cast<uintptr_t>(settings.cbrKbps), 0);
    }
}

// A block larger than the queue's free room goes in piece by piece, each
// piece encoded before the next is copied, so no block overruns the queue.
int CEncGOGO::Write(const unsigned char* bytes, int count) {
    if (count <= 0)
        return 0;
    if (!bytes || !queue.data)
        return kMp3NoQueue;
    while (count > 0) {
        int piece = MakeRoom(count);
        if (piece == 0)
            return kMp3NoQueue; // the library stopped taking input
        std::memcpy(readPosition + queued, bytes, static_cast<size_t>(piece));
        queued += piece;
        bytes += piece;
        count -= piece;
        int result = EncodeQueued();
        if (result != 0 && result != 1)
            return result;
    }
    return 0;
}

int CEncGOGO::EncodeQueued() {
    int result = 0;
    while (result == 0 && queued > kFrameThreshold)
        result = loader.ProcessFrame();
    return result;
}

// How many of the wanted bytes fit behind the queued ones; compacts first
// when that makes room for more.
int CEncGOGO::MakeRoom(int wanted) {
    int tail = kQueueSize - static_cast<int>(readPosition - queueBase) - queued;
    if (tail < wanted && readPosition != queueBase) {
        Compact();
        tail = kQueueSize - queued;
    }
    return std::min(wanted, tail);
}

void CEncGOGO::Compact() {
    std::memmove(queueBase, readPosition, static_cast<size_t>(queued));
    readPosition = queueBase;
}

int CEncGOGO::OpenFile(const std::wstring& path) {
    file.Reset();
    file.Reset(CreateOutputFile(path, GENERIC_WRITE, FILE_SHARE_READ));
    return file ? 0 : kMp3FileError;
}

void CEncGOGO::Close() {
    Flush();
    file.Reset();
    queue.Free();
    queueBase = readPosition = nullptr;
    queued = 0;
}

int CEncGOGO::Finish() {
    bool started = queue.data != nullptr;
    int result = 0;
    while (result == 0 && queued > 0)
        result = loader.ProcessFrame();
    int closed = loader.CloseCoder();
    const int flushed = Flush();
    Close();
    if (!started)
        return 0;
    if (result != 0 && result != 1)
        return result;
    if (flushed != 0)
        return flushed;
    return closed == -2 ? 0 : closed; // -2: a library without MPGE_closeCoder
}

int __cdecl CEncGOGO::InputFunction(void* buffer, unsigned long length) noexcept {
    return CountedInputFunction(buffer, length, nullptr);
}

int __cdecl CEncGOGO::CountedInputFunction(void* buffer, unsigned long length,
                                           unsigned long* delivered) noexcept {
    unsigned long count = 0;
    int last = 1;
    if (!buffer) {
        last = active && active->queued > 0 ? 0 : 1;
    } else {
        std::memset(buffer, 0, length);
        if (active)
            last = active->Deliver(static_cast<unsigned char*>(buffer), length, &count);
    }
    if (delivered)
        *delivered = count;
    return last;
}

int CEncGOGO::Deliver(unsigned char* buffer, unsigned long length, unsigned long* delivered) {
    int n = static_cast<int>(std::min<unsigned long>(length, static_cast<unsigned long>(queued)));
    *delivered = static_cast<unsigned long>(n);
    if (n > 0) {
        std::memcpy(buffer, readPosition, static_cast<size_t>(n));
        readPosition += n;
        queued -= n;
    }
    if (queueBase && (readPosition - queueBase) + queued > kCompactBound)
        Compact();
    return queued > 0 ? 0 : 1;
}

int __cdecl CEncGOGO::OutputFunction(void* buffer, unsigned long length) noexcept {
    if (!active)
        return kFileError;
    return buffer ? active->WriteOut(buffer, length) : active->Rewind();
}

int CEncGOGO::WriteOut(const void* buffer, unsigned long length) {
    if (!file)
        return kFileError;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    try {
        unwritten.insert(unwritten.end(), bytes, bytes + length);
    } catch (const std::bad_alloc&) {
        return kFileError;
    }
    return unwritten.size() >= kWriteChunk ? Flush() : 0;
}

int CEncGOGO::Flush() {
    if (unwritten.empty())
        return 0;
    const auto length = static_cast<DWORD>(unwritten.size());
    DWORD written = 0;
    const bool whole = file && WriteFile(file.Get(), unwritten.data(), length, &written, nullptr) &&
                       written == length;
    unwritten.clear();
    return whole ? 0 : kFileError;
}

int CEncGOGO::Rewind() {
    LARGE_INTEGER size = {};
    if (Flush() != 0 || !file ||
        !SetFilePointerEx(file.Get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !GetFileSizeEx(file.Get(), &size))
        return kFileError;
    return static_cast<int>(size.LowPart);
}
