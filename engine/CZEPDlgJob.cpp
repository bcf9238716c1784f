// The conversion job of the main dialog: from the Convert button to the
// closed output file, with progress, Stop, numbered errors and the batch log.
#include "decode/CDecDShowAudioFast.h"
#include "engine/CPendingOutput.h"
#include "engine/CSendLogMsg.h"
#include "engine/ErrorMessages.h"
#include "engine/OutputNaming.h"
#include "engine/ProgressText.h"
#include "framework/PumpMessages.h"
#include "pcm/CPCMWavVolume.h"
#include "resources/resource.h"
#include "settings/EditSettings.h"
#include "ui/CBATDlg.h"
#include "ui/CZEPDlg.h"
#include "ui/Language.h"

namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr DWORD kPumpPeriodMs = 10;

// What each output type reports when its file cannot be created or put in place.
constexpr int kWavFileError = 6006, kMp3FileError = 6001, kWmaFileError = 815;

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
        ShowError(6001);
        return;
    }
    CRunningFlag running(jobRunning);
    jobInput = inputPath;
    decoderHolder.Attach(CreateDecoder());
    if (Decoder()->Open(jobInput.c_str()) != 0) {
        decoderHolder.Release();
        ShowError(915);
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

// Runs the path of the output type and closes its encoder whatever
// happened. A close that fails after an otherwise good job would leave an
// incomplete file: that is a failure too.
int CZEPDlg::RunJob(int type) {
    int result = 0;
    switch (type) {
    case OutputWavAcm:
        result = ConvertWav();
        if (wavHolder.object->Close() == 0 && result == 0)
            result = 901;
        break;
    case OutputLayer3Wav:
    case OutputMp3:
        result = ConvertMp3(type == OutputLayer3Wav);
        if (mp3Holder.object->Finish() != 0 && result == 0)
            result = 901;
        break;
    case OutputWma:
        result = ConvertWma();
        if (wmaHolder.object->Close() != 0 && result == 0)
            result = 811;
        break;
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

int CZEPDlg::ConvertWav() {
    BeginProgress();
    if (int result = PrepareWavOutput())
        return result;
    return RunBlockLoop([this](unsigned char* bytes, int count) {
        return wavHolder.object->Write(bytes, count) < 0 ? 901 : 0;
    });
}

int CZEPDlg::PrepareWavOutput() {
    CWaveFileACM& wav = *wavHolder.object;
    wav.SetSourceFormat(Decoder()->GetFormat());
    if (batchFormat.GetCount() > 0) {
        wav.SetDestFormat(reinterpret_cast<const WAVEFORMATEX*>(batchFormat.data));
    } else {
        if (wav.ChooseFormat(GetSafeHwnd()) == 0) {
            finished = 1;
            return -2;
        }
        if (batchState == 1) {
            const WAVEFORMATEX* chosen = wav.GetDestFormat();
            int size = static_cast<int>(sizeof(WAVEFORMATEX)) + chosen->cbSize;
            batchFormat.Resize(size);
            batchFormat.CopyFrom(reinterpret_cast<const unsigned char*>(chosen), size);
            batchState = 2;
        }
    }
    if (!pendingOutput.Begin(outputPath) || !wav.OpenWrite(pendingOutput.Path()))
        return kWavFileError;
    return 0;
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

int CZEPDlg::ConvertMp3(bool layer3Wav) {
    if (int result = AskSettingsOnce(EditMp3Settings))
        return result;
    if (!pendingOutput.Begin(outputPath))
        return kMp3FileError;
    CEncGOGO& mp3 = *mp3Holder.object;
    if (int result =
            mp3.Start(*Decoder()->GetFormat(), pendingOutput.Path(), layer3Wav ? 1 : 0, settings))
        return result;
    BeginProgress();
    return RunBlockLoop(
        [&mp3](unsigned char* bytes, int count) { return mp3.Write(bytes, count) != 0 ? 901 : 0; });
}

int CZEPDlg::ConvertWma() {
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
    if (!pendingOutput.Begin(outputPath))
        return kWmaFileError;
    const WAVEFORMATEX& format = *Decoder()->GetFormat();
    if (int result = wma.Open(pendingOutput.Path().c_str(), nullptr, 0, format.nSamplesPerSec,
                              format.nChannels, format.wBitsPerSample))
        return result;
    for (int pass = 0, passes = wma.GetTwoPass() + 1; pass < passes; ++pass) {
        BeginProgress();
        if (int result = RunBlockLoop(
                [&wma](unsigned char* bytes, int count) { return wma.WriteAudio(bytes, count); }))
            return result;
        if (finished)
            return 0;
        if (wma.GetTwoPass()) {
            // The analysis pass has read the whole input: read it again.
            if (int result = wma.EndPass())
                return result;
            EndProgress();
            if (Decoder()->Open(jobInput.c_str()) != 0)
                return 915;
        }
    }
    return 0;
}

// The lap is closed before the message pump and opened again after it, so
// the time shown counts the conversion's own work, not dialogs opened meanwhile.
// Looking at the message queue is a round trip to the Wine server, and blocks
// come far faster than a person can click: the queue is drained before the
// first block and then every few milliseconds, which looks the same on screen.
int CZEPDlg::RunBlockLoop(const BlockWriter& write) {
    DWORD lastPump = timeGetTime() - kPumpPeriodMs;
    while (!finished) {
        if (timeGetTime() - lastPump >= kPumpPeriodMs) {
            timeKeeper.AddElapsed();
            PumpMessages();
            timeKeeper.Start();
            lastPump = timeGetTime();
        }
        progress = Decoder()->GetProgress();
        lastCount = Decoder()->Read(&block, 2048);
        if (lastCount >= 0)
            CPCMWavVolume::ApplyVolume(block, lastCount, settings.VOL,
                                       Decoder()->GetFormat()->wBitsPerSample);
        if (lastCount < 1)
            return Decoder()->GetEndError();
        if (int result = write(block, lastCount))
            return result;
    }
    return 0;
}

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
    if (number == 0 || number == -2)
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
        if (number == 814)
            settings.wma2Pass = 1;
        else if (number == 810)
            settings.wma2Pass = 0;
    }
    finished = 1;
}
