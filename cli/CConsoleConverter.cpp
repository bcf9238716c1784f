#include "CConsoleConverter.h"
#include "cli/ConsoleText.h"
#include "engine/BatchJobs.h"
#include "engine/OutputNaming.h"
#include "engine/ProgressText.h"
#include "pcm/CPcmFormat.h"
#include "framework/PumpMessages.h"
#include "resources/ErrorNumbers.h"
#include "ui/ErrorMessages.h"
#include "ui/Language.h"

namespace {

constexpr DWORD kProgressPeriodMs = 500;

} // namespace

CConsoleConverter::CConsoleConverter(const CCommandLine& line, const CEncoderOptions& options,
                                     DecoderChoice decoder, bool folderFile, bool showProgress)
    : line(line), options(options), decoderChoice(decoder),
      acmFormats(line.acm ? ListAcmFormats() : std::vector<AcmFormat>()), files(line.type),
      inFolder(folderFile), showProgress(showProgress) {}

int CConsoleConverter::Convert(const std::wstring& input, const COutputTarget& target, int jobs,
                               size_t filesLeft) {
    CDecAnyAudio decoder(decoderChoice);
    CEncoderOptions fileOptions = options;
    ShareThreads(fileOptions, jobs, filesLeft);
    const int result = Run(decoder, input, target, fileOptions);
    if (result != 0)
        ReportFailure(input, result);
    return result;
}

int CConsoleConverter::Run(CDecAudio& decoder, const std::wstring& input,
                           const COutputTarget& target, CEncoderOptions& fileOptions) {
    current = input;
    if (decoder.Open(input.c_str()) != 0)
        return kUndecodable;
    if (!line.quiet)
        WriteError(L"decoder: " + decoder.Describe() + (inFolder ? L"  " + input : L""));
    sourceText = DescribeWave(*decoder.GetFormat());
    if (line.acm && !KeepsInputSamples()) {
        const WAVEFORMATEX* format = AcmFormatFor(*decoder.GetFormat());
        if (!format)
            return kWavFileError;
        fileOptions.SetWavFormat(*format);
    }
    clock.ClearTotal();
    clock.Start();
    percent = 0.0;
    const int result = files.Convert(decoder, input, target, fileOptions, *this);
    decoder.Close();
    ShowProgress(true);
    return result;
}

// --acm PCM without a rate, channels or bits: the input's own samples.
bool CConsoleConverter::KeepsInputSamples() const {
    return _wcsicmp(line.acm->c_str(), L"PCM") == 0 && !line.rate && !line.channels && !line.bits;
}

// The format of the codec --acm names, with the rate, channels and bits
// given; where the options leave them open, the input's rate and channels
// and 16 bits, where the codec offers them. Null when none fits.
const WAVEFORMATEX* CConsoleConverter::AcmFormatFor(const WAVEFORMATEX& source) const {
    const DWORD rate = static_cast<DWORD>(line.rate.value_or(0));
    const WORD channels = static_cast<WORD>(line.channels.value_or(0));
    const WORD bits = static_cast<WORD>(line.bits.value_or(0));
    const DWORD inputRate = rate ? rate : source.nSamplesPerSec;
    const WORD inputChannels = channels ? channels : source.nChannels;
    const WORD sixteen = bits ? bits : 16;
    const struct {
        DWORD rate;
        WORD channels, bits;
    } preferred[] = {{inputRate, inputChannels, sixteen},
                     {inputRate, inputChannels, bits},
                     {rate, channels, sixteen},
                     {rate, channels, bits}};
    for (const auto& wanted : preferred)
        if (const AcmFormat* found =
                FindAcmFormat(acmFormats, *line.acm, wanted.rate, wanted.channels, wanted.bits))
            return &found->Format();
    return nullptr;
}

// The lines of one failure stay together whatever other threads print.
void CConsoleConverter::ReportFailure(const std::wstring& input, int number) const {
    if (number == kInterrupted) {
        WriteError(PickLanguage(L"中断しました (出力は作られていません): ",
                                L"Interrupted (no output made): ") +
                   input);
        return;
    }
    WriteError(inFolder ? input + L"\n" + ErrorLine(number) : ErrorLine(number));
}

void CConsoleConverter::ShowProgress(bool final) {
    if (!showProgress)
        return;
    clock.AddElapsed();
    clock.Start();
    std::wstring text = L"\r" + ProgressText(percent, static_cast<unsigned>(clock.GetTotal()),
                                             LoadResPairedString(10065, 10066), std::wstring());
    text += L"  " + sourceText;
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

// An interrupted run must not look done: the shorter file is not kept.
int CConsoleConverter::StopResult() { return kInterrupted; }

void CConsoleConverter::Progress(double done) { percent = done; }

void CConsoleConverter::CoverLeftOut() { WriteError(CoverLeftOutText(current)); }
