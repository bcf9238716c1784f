#pragma once
#include "engine/CFileConversion.h"
#include <functional>
#include <string>

// The writers of one thread, and one file after another converted through
// them to one output type with what that type needs first: the WAV
// output's format, the WMA profile. A batch's worker threads have one each.
class CFileConverter {
  public:
    // The WAV output's format for the decoded PCM; null when none fits.
    using WavFormat = std::function<const WAVEFORMATEX*(const WAVEFORMATEX& source)>;

    // settings must outlive the converter and stay as they are while it converts.
    CFileConverter(int type, const CAudioInfo& settings, WavFormat wavFormat);

    // The opened decoder of input to output: 0, or the error number.
    // nextFree: as for CFileConversion.
    int Convert(CDecAudio& decoder, const std::wstring& input, const std::wstring& output,
                const NextFreeName& nextFree, IConversionListener& listener);

  private:
    int Prepare(CFileConversion& conversion, CDecAudio& decoder);

    const int type;
    const CAudioInfo& settings;
    const WavFormat wavFormat;
    CWaveFileACM wav;
    CEncGOGO mp3;
    CEncWMVWMA wma;
};
