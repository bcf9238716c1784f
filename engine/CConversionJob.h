#pragma once
#include "decode/CDecAudio.h"
#include "decode/CPCMBlockConverter.h"
#include "encode/IAudioEncoder.h"
#include "engine/IConversionStep.h"
#include <string>
#include <vector>

// What a conversion asks of whoever drives it. It knows no windows: the
// driver keeps its own alive between blocks and says when the user stopped.
class IConversionListener {
  public:
    virtual ~IConversionListener() = default;
    // Every few milliseconds between blocks, and before the first.
    virtual void BetweenBlocks() = 0;
    // Whether the conversion is to end before its next block.
    virtual bool Stopped() = 0;
    // What a stop ends the conversion with: 0 keeps what was converted (the
    // user's Stop), an error number discards it (an interrupted program).
    virtual int StopResult() { return 0; }
    // The percent of the input decoded, before each block.
    virtual void Progress(double percent) = 0;
    // Around the reading of the input again for a further pass.
    virtual void PassEnded() {}
    virtual void PassBegins() {}
    // The output is in place, with the input's tags but without its cover,
    // which the output's format cannot hold.
    virtual void CoverLeftOut() {}
};

// A conversion from an opened decoder to an opened encoder: blocks through
// the steps (begun by the caller; the volume stage first) and the block
// conversion to what the encoder takes, into the encoder until the input
// ends, the driver stops it or something fails, pass after pass as the
// encoder asks.
class CConversionJob {
  public:
    CConversionJob(CDecAudio& decoder, IAudioEncoder& encoder, std::vector<IConversionStep*> steps,
                   IConversionListener& listener, CPCMBlockConverter* converter = nullptr)
        : decoder(decoder), encoder(encoder), steps(std::move(steps)), listener(listener),
          converter(converter) {}

    // 0 when the input was read to its end; the listener's StopResult when
    // the driver stopped it; else the error number. input is opened again
    // for a further pass.
    int Run(const std::wstring& input);
    // The encoder finished whatever happened: a failure to finish an
    // otherwise good conversion is a failure too.
    static int Finish(IAudioEncoder& encoder, int result);

  private:
    int RunPass();
    int Deliver(unsigned char* block, int count);
    int DeliverRest();

    CDecAudio& decoder;
    IAudioEncoder& encoder;
    std::vector<IConversionStep*> steps;
    IConversionListener& listener;
    CPCMBlockConverter* converter; // none: the blocks fit the encoder
};
