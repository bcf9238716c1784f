#pragma once
#include "engine/CFileConversion.h"
#include <string>

// A thread's writers, and one file after another converted through them to
// one output type. A batch's worker threads have one each.
class CFileConverter {
  public:
    explicit CFileConverter(int type) : format(OutputFormatOf(type)) {}

    // The opened decoder of input to target with the options: 0, or the
    // error number; 0 without converting for a type outside the list.
    int Convert(CDecAudio& decoder, const std::wstring& input, const COutputTarget& target,
                const CEncoderOptions& options, IConversionListener& listener);

  private:
    const COutputFormat* const format;
    CWaveFileACM wav;
    CEncGOGO mp3;
    CEncWMVWMA wma;
};
