// The main dialog as the driver of the conversion job: from the Convert
// button to the closed output file, with the settings each output asks
// for, progress, Stop, numbered errors and the batch log.
#include "decode/CDecDShowAudioFast.h"
#include "encode/CMp3Encoder.h"
#include "encode/CWavAcmEncoder.h"
#include "encode/CWmaEncoder.h"
#include "engine/CConversionJob.h"
#include "engine/CPendingOutput.h"
#include "engine/CSendLogMsg.h"
#include "engine/OutputNaming.h"
#include "engine/ProgressText.h"
#include "framework/PumpMessages.h"
#include "resources/ErrorNumbers.h"
#include "resources/resource.h"
#include "settings/EditSettings.h"
#include "ui/CBATDlg.h"
#include "ui/CZEPDlg.h"
#include "ui/ErrorMessages.h"
#include "ui/Language.h"

namespace {

constexpr UINT_PTR kProgressTimer = 1;

// What each output type reports when its file cannot be created or put in place.
int OutputFileError(int type) {
    switch (type) {
    case OutputWavAcm:
        return kWavFileError;
    case OutputLayer3Wav:
    case OutputMp3:
        return kMp3FileError;
    default:
        return kWmaFileError;
    }
}

// Marks a job as running for as long as it is in scope.
class CRunningFlag {
  public:
    explicit CRunningFlag(bool& flag) : flag(flag) { flag = true; }
    ~CRunningFlag() { flag = false; }

  private:
    bool& flag;
};

} // namespace

void CZEPDlg::OnConvert() {
    if (jobRunning)
        return; // only reachable through the message pump of the running job
    UpdateData(true);
    if (inputPath.empty()) {
        ShowError(kNoInput);
        return;
    }
    CRunningFlag running(jobRunning);
    jobInput = inputPath;
    decoderHolder.Attach(CreateDecoder());
    if (Decoder()->Open(jobInput.c_str()) != 0) {
        decoderHolder.Release();
        ShowError(kUndecodable);
        return;
    }
    int type = DecideOutputType();
    if (batchState != 0) {
        outputPath = UnusedOutputPath(jobInput, outputPath);
        UpdateData(false);
    }
    SetTimer(GetSafeHwnd(), kProgressTimer, 500, nullptr);
    ShowError(RunJob(type));
    KillTimer(GetSafeHwnd(), kProgressTimer);
    EndProgress();
}

CDecAudio* CZEPDlg::CreateDecoder() { return new CDecDShowAudioFast(); }

// Runs the path of the output type, then finishes its encoder whatever happened.
int CZEPDlg::RunJob(int type) {
    int result = 0;
    switch (type) {
    case OutputWavAcm: {
        CWavAcmEncoder wav(*wavHolder.object);
        result = CConversionJob::Finish(wav, ConvertWav(wav));
        break;
    }
    case OutputLayer3Wav:
    case OutputMp3: {
        CMp3Encoder mp3(*mp3Holder.object, type == OutputLayer3Wav, settings);
        result = CConversionJob::Finish(mp3, ConvertMp3(mp3));
        break;
    }
    case OutputWma: {
        CWmaEncoder wma(*wmaHolder.object);
        result = CConversionJob::Finish(wma, ConvertWma(wma));
        break;
    }
    default:
        break;
    }
    return SettleOutput(result, type);
}

// Only a job that ended well (finished or stopped) puts its file in place.
int CZEPDlg::SettleOutput(int result, int type) {
    if (result == 0 && !pendingOutput.Path().empty() && !pendingOutput.Commit())
        result = OutputFileError(type);
    pendingOutput.Discard();
    return result;
}

// The encoder writes to a temporary file beside the output.
int CZEPDlg::OpenOutput(IAudioEncoder& encoder, int fileError) {
    if (!pendingOutput.Begin(outputPath))
        return fileError;
    return encoder.Open(*Decoder()->GetFormat(), pendingOutput.Path());
}

int CZEPDlg::RunConversion(IAudioEncoder& encoder) {
    CConversionJob job(*Decoder(), encoder, settings.VOL, *this);
    return job.Run(jobInput);
}

int CZEPDlg::ConvertWav(IAudioEncoder& encoder) {
    BeginProgress();
    if (int result = PrepareWavOutput(encoder))
        return result;
    return RunConversion(encoder);
}

int CZEPDlg::PrepareWavOutput(IAudioEncoder& encoder) {
    CWaveFileACM& wav = *wavHolder.object;
    wav.SetSourceFormat(Decoder()->GetFormat());
    if (batchFormat.GetCount() > 0) {
        wav.SetDestFormat(reinterpret_cast<const WAVEFORMATEX*>(batchFormat.data));
    } else {
        if (wav.ChooseFormat(GetSafeHwnd()) == 0) {
            finished = 1;
            return kCancelled;
        }
        if (batchState == 1) {
            const WAVEFORMATEX* chosen = wav.GetDestFormat();
            int size = static_cast<int>(sizeof(WAVEFORMATEX)) + chosen->cbSize;
            batchFormat.Resize(size);
            batchFormat.CopyFrom(reinterpret_cast<const unsigned char*>(chosen), size);
            batchState = 2;
        }
    }
    return OpenOutput(encoder, kWavFileError);
}

// Outside a batch every job asks; in a batch only until the first answer with OK.
int CZEPDlg::AskSettingsOnce(int (*edit)(CAudioInfo&, HWND)) {
    if (batchState == 2)
        return 0;
    if (int result = edit(settings, GetSafeHwnd()))
        return result;
    if (batchState == 1)
        batchState = 2;
    return 0;
}

int CZEPDlg::ConvertMp3(IAudioEncoder& encoder) {
    if (int result = AskSettingsOnce(EditMp3Settings))
        return result;
    if (int result = OpenOutput(encoder, kMp3FileError))
        return result;
    BeginProgress();
    return RunConversion(encoder);
}

int CZEPDlg::ConvertWma(IAudioEncoder& encoder) {
    if (int result = AskSettingsOnce(EditWmaSettings))
        return result;
    CEncWMVWMA& wma = *wmaHolder.object;
    if (settings.wmaSelect == 2) {
        wma.SetTwoPass(settings.wma2Pass);
        if (int result = wma.LoadProfileFile(settings.wmaPRX.c_str()))
            return result;
    } else if (int result =
                   wma.LoadSystemProfile(settings.wmaSelect, settings.wma4, settings.wma7, 1)) {
        return result;
    }
    if (int result = OpenOutput(encoder, kWmaFileError))
        return result;
    BeginProgress();
    return RunConversion(encoder);
}

// The lap is closed before the message pump and opened again after it, so
// the time shown counts the conversion's own work, not dialogs opened meanwhile.
void CZEPDlg::BetweenBlocks() {
    timeKeeper.AddElapsed();
    PumpMessages();
    timeKeeper.Start();
}

bool CZEPDlg::Stopped() { return finished != 0; }

void CZEPDlg::Progress(double percent) { progress = percent; }

// The analysis pass has read the whole input: the next reads it again.
void CZEPDlg::PassEnded() { EndProgress(); }

void CZEPDlg::PassBegins() { BeginProgress(); }

void CZEPDlg::BeginProgress() {
    progressBar.SetPos(0);
    SetDlgItemTextW(GetSafeHwnd(), IDC_STATUS, L"  0 %");
    finished = 0;
    EnableJobButtons(true);
    timeKeeper.ClearTotal();
    timeKeeper.Start();
    progress = 0.0;
}

void CZEPDlg::EndProgress() {
    if (finished == 0) {
        progressBar.SetPos(100);
        SetDlgItemTextW(GetSafeHwnd(), IDC_STATUS, L"100 %");
    }
    finished = 1;
    EnableJobButtons(false);
    timeKeeper.ClearTotal();
    if (Decoder())
        Decoder()->Close();
}

void CZEPDlg::EnableJobButtons(bool running) {
    EnableWindow(GetDlgItem(IDC_STOP), running);
    EnableWindow(GetDlgItem(IDC_CONVERT), !running);
}

void CZEPDlg::OnStop() {
    finished = 1;
    EnableJobButtons(false);
}

void CZEPDlg::OnTimer(UINT_PTR id) {
    if (id != kProgressTimer)
        return;
    std::wstring prefix =
        wmaHolder.object->GetTwoPass() ? LoadResPairedString(10001, 10002) : std::wstring();
    SetDlgItemTextW(GetSafeHwnd(), IDC_STATUS,
                    ProgressText(progress, static_cast<unsigned>(timeKeeper.GetTotal()),
                                 LoadResPairedString(10065, 10066), prefix)
                        .c_str());
    progressBar.SetPos(static_cast<int>(progress));
}

LRESULT CZEPDlg::OnBatchFile(const wchar_t* path) {
    if (jobRunning || !path)
        return 0;
    inputPath = path;
    outputPath.clear();
    UpdateData(false);
    OnConvert();
    return 0;
}

void CZEPDlg::OnBatchMenu() {
    if (jobRunning)
        return;
    CBATDlg batch(GetSafeHwnd());
    batchState = 1;
    batch.DoModal();
    batchState = 0;
    batchFormat.Free();
}

// A text missing from the resource library still shows the number: a
// failure must never look like success.
void CZEPDlg::ShowError(int number) {
    if (number == 0 || number == kCancelled)
        return;
    const std::wstring heading = ErrorHeading(number);
    const std::wstring text = GetErrorText(number);
    const std::wstring line = text.empty() ? heading : heading + L" - " + text;
    bool logged = false;
    if (batchState != 0) {
        CSendLogMsg log;
        log.Send(inputPath, L"Jotter");
        log.Send(line, L"Jotter");
        logged = log.Send(L"", L"Jotter");
    }
    if (!logged) {
        std::wstring body = text.empty() ? heading : heading + L"\n\n" + text;
        MessageBoxW(GetSafeHwnd(), body.c_str(), heading.c_str(), MB_OK | MB_ICONSTOP);
        if (number == kWmaNeedsTwoPasses)
            settings.wma2Pass = 1;
        else if (number == kWmaPassNotBegun)
            settings.wma2Pass = 0;
    }
    finished = 1;
}
