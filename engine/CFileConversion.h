#pragma once
#include "encode/CEncGOGO.h"
#include "encode/CEncWMVWMA.h"
#include "engine/CConversionJob.h"
#include "engine/CPendingOutput.h"
#include "pcm/CWaveFileACM.h"
#include "settings/CAudioInfo.h"
#include <functional>
#include <string>

// The writers an output type may need, and the settings the MP3 one reads.
struct CEncoderSet {
    CWaveFileACM& wav;
    CEncGOGO& mp3;
    CEncWMVWMA& wma;
    const CAudioInfo& settings;
};

// One input to one output file, without windows: the encoder writes under
// a temporary name beside the output, the job runs, the encoder finishes,
// and the output takes its name only when all ended well (finished or
// stopped). The main dialog and the command-line converter drive it alike.
class CFileConversion {
  public:
    // type: an OutputType; its number is reported when the file cannot be
    // created or put in place.
    // nextFree: how a batch's output moves on from a name taken meanwhile;
    // empty: the output replaces a file of its name.
    CFileConversion(CDecAudio& decoder, IAudioEncoder& encoder, int type, std::wstring output,
                    NextFreeName nextFree = nullptr)
        : decoder(decoder), encoder(encoder), type(type), output(std::move(output)),
          nextFree(std::move(nextFree)) {}

    // Opens the encoder for the decoder's PCM: 0, or the error number.
    int Open();
    // The job over input (opened again for any further pass): 0, or the error number.
    int Run(const std::wstring& input, int volume, IConversionListener& listener);
    // Finishes the encoder whatever happened, then puts the output in place
    // or removes it: the conversion's result.
    int End(int result);

    // Builds the output type's encoder over its writer, lets prepare open
    // the output and run the job through a conversion over it, and ends the
    // conversion whatever prepare returned: the result.
    static int Convert(CDecAudio& decoder, int type, const std::wstring& output,
                       const NextFreeName& nextFree, const CEncoderSet& writers,
                       const std::function<int(CFileConversion&)>& prepare);
    // What an output type reports when its file cannot be created or put in place.
    static int FileError(int type);

  private:
    CDecAudio& decoder;
    IAudioEncoder& encoder;
    int type;
    std::wstring output;
    NextFreeName nextFree;
    CPendingOutput pending;
};
