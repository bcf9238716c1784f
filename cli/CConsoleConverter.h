#pragma once
#include "cli/CCommandLine.h"
#include "decode/CDecAnyAudio.h"
#include "engine/CFileConverter.h"
#include "engine/CTimeMmanager.h"
#include "pcm/AcmFormats.h"
#include <string>

// Converts for the command line: each file through the engine's file
// conversion with the options given, progress on standard error when that
// is a console, and every failure as its numbered line there.
// One converter serves one thread; a folder's files may be shared out among
// several.
class CConsoleConverter : private IConversionListener {
  public:
    // folderFile: the files come from a folder, so failures name their file;
    // showProgress: a progress line of each file on a console.
    CConsoleConverter(const CCommandLine& line, const CEncoderOptions& options,
                      DecoderChoice decoder, bool folderFile, bool showProgress);

    // One input to target, one of jobs conversions at a time with filesLeft
    // to start (its streams' threads shared by that): 0, or the error
    // number, which has been printed.
    int Convert(const std::wstring& input, const COutputTarget& target, int jobs = 1,
                size_t filesLeft = 1);

  private:
    int Run(CDecAudio& decoder, const std::wstring& input, const COutputTarget& target,
            CEncoderOptions& fileOptions);
    bool KeepsInputSamples() const;
    const WAVEFORMATEX* AcmFormatFor(const WAVEFORMATEX& source) const;
    void ShowProgress(bool final);
    void ReportFailure(const std::wstring& input, int number) const;

    void BetweenBlocks() override;
    bool Stopped() override;
    int StopResult() override;
    void Progress(double percent) override;
    void CoverLeftOut() override;

    const CCommandLine& line;
    const CEncoderOptions& options;
    const DecoderChoice decoderChoice;
    std::vector<AcmFormat> acmFormats; // listed once, when --acm names a codec
    CFileConverter files;
    CTimeMmanager clock;
    double percent = 0.0;
    DWORD lastShown = 0;
    bool inFolder, showProgress;
    std::wstring current;
    std::wstring sourceText; // the input's format, "96 kHz 24-bit 5.1"
};
