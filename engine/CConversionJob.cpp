#include "CConversionJob.h"
#include "resources/ErrorNumbers.h"

namespace {

// Blocks come far faster than a person clicks, and a look at the message
// queue is a round trip to the Wine server: the driver gets a turn every
// few milliseconds, which looks the same on screen as one per block.
constexpr DWORD kListenPeriodMs = 20;

} // namespace

int CConversionJob::Run(const std::wstring& input) {
    for (;;) {
        if (int result = RunPass())
            return result;
        if (listener.Stopped())
            return listener.StopResult();
        int ended = 0;
        if (!encoder.EndPass(ended) || ended)
            return ended;
        listener.PassEnded();
        if (decoder.Open(input.c_str()) != 0)
            return kUndecodable;
        listener.PassBegins();
    }
}

int CConversionJob::RunPass() {
    if (converter)
        converter->Restart();
    DWORD lastTurn = timeGetTime() - kListenPeriodMs;
    while (!listener.Stopped()) {
        if (timeGetTime() - lastTurn >= kListenPeriodMs) {
            listener.BetweenBlocks();
            lastTurn = timeGetTime();
        }
        listener.Progress(decoder.GetProgress());
        unsigned char* block = nullptr;
        const int count = decoder.Read(&block, 2048);
        if (count < 1)
            return decoder.GetEndError() ? decoder.GetEndError() : DeliverRest();
        for (IConversionStep* step : steps)
            if (int result = step->Process(block, count))
                return result;
        if (int result = Deliver(block, count))
            return result;
    }
    return listener.StopResult();
}

int CConversionJob::Deliver(unsigned char* block, int count) {
    if (!converter)
        return encoder.Write(block, count);
    unsigned char* converted = nullptr;
    const int bytes = converter->Convert(block, count, &converted);
    return bytes > 0 ? encoder.Write(converted, bytes) : 0;
}

// What a resampler holds back for its filter ends the stream.
int CConversionJob::DeliverRest() {
    unsigned char* rest = nullptr;
    const int bytes = converter ? converter->Flush(&rest) : 0;
    return bytes > 0 ? encoder.Write(rest, bytes) : 0;
}

int CConversionJob::Finish(IAudioEncoder& encoder, int result) {
    const int finished = encoder.Finish();
    return result != 0 ? result : finished;
}
