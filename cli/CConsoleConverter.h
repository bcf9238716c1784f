#pragma once
#include "cli/CCommandLine.h"
#include "decode/CDecAudio.h"
#include "engine/CFileConversion.h"
#include "engine/CTimeMmanager.h"
#include "pcm/AcmFormats.h"
#include <string>

// Converts for the command line: each file through the engine's file
// conversion with the settings given, progress on standard error when that
// is a console, and every failure as its numbered line there.
class CConsoleConverter : private IConversionListener {
  public:
    CConsoleConverter(const CCommandLine& line, const CAudioInfo& settings);

    // One input to output (named as the dialog names it when empty): 0, or
    // the error number, which has been printed.
    int ConvertFile(const std::wstring& input, const std::wstring& output);
    // Every file of the folder as the batch converts them: 0 when all
    // succeeded, else the first failure's number.
    int ConvertFolder(const std::wstring& folder);

  private:
    int Convert(CDecAudio& decoder, const std::wstring& input, const std::wstring& output);
    int Prepare(CFileConversion& conversion, CDecAudio& decoder);
    const WAVEFORMATEX* WavFormat(const WAVEFORMATEX& source) const;
    void ShowProgress(bool final);
    void ReportFailure(const std::wstring& input, int number) const;

    void BetweenBlocks() override;
    bool Stopped() override;
    void Progress(double percent) override;

    const CCommandLine& line;
    const CAudioInfo& settings;
    CWaveFileACM wav;
    CEncGOGO mp3;
    CEncWMVWMA wma;
    std::vector<AcmFormat> acmFormats; // listed once, when --acm names a codec
    CTimeMmanager clock;
    double percent = 0.0;
    DWORD lastShown = 0;
    bool showProgress;
    bool inFolder = false;
    std::wstring current;
};
