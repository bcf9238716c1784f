#pragma once
#include "engine/CConversionJob.h"
#include "engine/COutputFormat.h"
#include "engine/CPendingOutput.h"
#include <string>

// Where a conversion's output goes: its path, and how a batch's output
// moves on from a name taken meanwhile (empty: it replaces a file of its name).
struct COutputTarget {
    std::wstring path;
    NextFreeName nextFree;
};

// One input to one output file, without windows: the one way every
// conversion goes, the dialog's, the batch's and the command line's. The
// format's encoder writes under a temporary name beside the output, the job
// runs the blocks through the steps (the volume stage first), the encoder
// and the steps finish, and the output takes its name only when all ended
// well (finished or stopped).
class CFileConversion {
  public:
    // writers and options must outlive the conversion.
    CFileConversion(const COutputFormat& format, const CEncoderWriters& writers,
                    const CEncoderOptions& options)
        : format(format), writers(writers), options(options) {}

    // The opened decoder of input to target: 0, or the error number.
    int Convert(CDecAudio& decoder, const std::wstring& input, const COutputTarget& target,
                IConversionListener& listener);

  private:
    const COutputFormat& format;
    const CEncoderWriters& writers;
    const CEncoderOptions& options;
};
