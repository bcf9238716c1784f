#include "CConsoleConverter.h"
#include "cli/ConsoleText.h"
#include "decode/CDecDShowAudioFast.h"
#include "engine/OutputNaming.h"
#include "engine/ProgressText.h"
#include "framework/PumpMessages.h"
#include "resources/ErrorNumbers.h"
#include "ui/ErrorMessages.h"
#include "ui/Language.h"

namespace {

constexpr DWORD kProgressPeriodMs = 500;

} // namespace

CConsoleConverter::CConsoleConverter(const CCommandLine& line, const CAudioInfo& settings,
                                     bool folderFile, bool showProgress)
    : line(line),
      acmFormats(line.acm ? ListAcmFormats() : std::vector<AcmFormat>()),
      files(line.type, settings,
            [this](const WAVEFORMATEX& source) { return WavFormat(source); }),
      inFolder(folderFile), showProgress(showProgress) {}

int CConsoleConverter::Convert(const std::wstring& input, const std::wstring& output) {
    CDecDShowAudioFast decoder;
    const int result = Run(decoder, input, output);
    if (result != 0)
        ReportFailure(input, result);
    return result;
}

int CConsoleConverter::Run(CDecAudio& decoder, const std::wstring& input,
                           const std::wstring& output) {
    current = input;
    if (decoder.Open(input.c_str()) != 0)
        return kUndecodable;
    clock.ClearTotal();
    clock.Start();
    percent = 0.0;
    const int result = files.Convert(decoder, input, output, *this);
    decoder.Close();
    ShowProgress(true);
    return result;
}

// The decoded PCM as it is, unless --acm names a codec: then its format,
// at the input's rate and channels where the options leave them open and
// the codec offers them.
const WAVEFORMATEX* CConsoleConverter::WavFormat(const WAVEFORMATEX& source) const {
    if (!line.acm)
        return &source;
    const DWORD rate = static_cast<DWORD>(line.rate.value_or(0));
    const WORD channels = static_cast<WORD>(line.channels.value_or(0));
    const WORD bits = static_cast<WORD>(line.bits.value_or(0));
    const AcmFormat* found =
        FindAcmFormat(acmFormats, *line.acm, rate ? rate : source.nSamplesPerSec,
                      channels ? channels : source.nChannels, bits);
    if (!found)
        found = FindAcmFormat(acmFormats, *line.acm, rate, channels, bits);
    return found ? &found->Format() : nullptr;
}

// The lines of one failure stay together whatever other threads print.
void CConsoleConverter::ReportFailure(const std::wstring& input, int number) const {
    const std::wstring text = GetErrorText(number);
    const std::wstring line =
        text.empty() ? ErrorHeading(number) : ErrorHeading(number) + L" - " + text;
    WriteError(inFolder ? input + L"\n" + line : line);
}

void CConsoleConverter::ShowProgress(bool final) {
    if (!showProgress)
        return;
    clock.AddElapsed();
    clock.Start();
    std::wstring text = L"\r" + ProgressText(percent, static_cast<unsigned>(clock.GetTotal()),
                                             LoadResPairedString(10065, 10066), std::wstring());
    if (inFolder)
        text += L"  " + current;
    WriteError(text, !final);
}

// Nothing here has windows, but the decoding graph's thread may post to this one.
void CConsoleConverter::BetweenBlocks() {
    DispatchThreadMessages();
    if (GetTickCount() - lastShown >= kProgressPeriodMs) {
        lastShown = GetTickCount();
        ShowProgress(false);
    }
}

bool CConsoleConverter::Stopped() { return StopRequested(); }

void CConsoleConverter::Progress(double done) { percent = done; }
