// The main dialog as the driver of the conversion job: from the Convert
// button to the closed output file, with the settings each output asks
// for, progress, Stop, numbered errors and the batch log.
#include "decode/CDecDShowAudioFast.h"
#include "encode/CWmaEncoder.h"
#include "engine/CFileConversion.h"
#include "engine/CSendLogMsg.h"
#include "engine/OutputNaming.h"
#include "engine/ProgressText.h"
#include "framework/CScopedFlag.h"
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

} // namespace

void CZEPDlg::OnConvert() {
    if (jobRunning)
        return; // only reachable through the message pump of the running job
    UpdateData(true);
    if (inputPath.empty()) {
        ShowError(kNoInput);
        return;
    }
    CScopedFlag running(jobRunning);
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

// Runs the path of the output type; the conversion ends its encoder and
// settles the output whatever happened.
int CZEPDlg::RunJob(int type) {
    const CEncoderSet writers{*wavHolder.object, *mp3Holder.object, *wmaHolder.object, settings};
    // A batch's output never replaces a file that took its name meanwhile.
    const NextFreeName nextFree = batchState != 0 ? BatchNextFreeName(jobInput) : nullptr;
    return CFileConversion::Convert(*Decoder(), type, outputPath, nextFree, writers,
                                    [&](CFileConversion& conversion) {
                                        switch (type) {
                                        case OutputWavAcm:
                                            return ConvertWav(conversion);
                                        case OutputWma:
                                            return ConvertWma(conversion);
                                        default:
                                            return ConvertMp3(conversion);
                                        }
                                    });
}

int CZEPDlg::RunConversion(CFileConversion& conversion) {
    return conversion.Run(jobInput, settings.VOL, *this);
}

int CZEPDlg::ConvertWav(CFileConversion& conversion) {
    BeginProgress();
    if (int result = PrepareWavOutput(conversion))
        return result;
    return RunConversion(conversion);
}

int CZEPDlg::PrepareWavOutput(CFileConversion& conversion) {
    CWaveFileACM& wav = *wavHolder.object;
    wav.SetSourceFormat(Decoder()->GetFormat());
    if (batchFormat.GetCount() > 0)
        wav.SetDestFormat(reinterpret_cast<const WAVEFORMATEX*>(batchFormat.data));
    else if (int result = ChooseWavFormat())
        return result;
    return conversion.Open();
}

// The format chooser for the source format set; in a batch the first
// format chosen serves the remaining files. The batch's Stop pressed while
// a question is open ends the batch as Cancel would.
int CZEPDlg::ChooseWavFormat() {
    CWaveFileACM& wav = *wavHolder.object;
    if (wav.ChooseFormat(GetSafeHwnd()) == 0 || BatchStopped()) {
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
    return 0;
}

// Outside a batch every job asks; in a batch only until the first answer with OK.
int CZEPDlg::AskSettingsOnce(int (*edit)(CAudioInfo&, HWND)) {
    if (batchState == 2)
        return 0;
    if (int result = edit(settings, GetSafeHwnd()))
        return result;
    if (BatchStopped())
        return kCancelled;
    if (batchState == 1)
        batchState = 2;
    return 0;
}

int CZEPDlg::ConvertMp3(CFileConversion& conversion) {
    if (int result = AskSettingsOnce(EditMp3Settings))
        return result;
    if (int result = conversion.Open())
        return result;
    BeginProgress();
    return RunConversion(conversion);
}

int CZEPDlg::ConvertWma(CFileConversion& conversion) {
    if (int result = AskSettingsOnce(EditWmaSettings))
        return result;
    if (int result = CWmaEncoder::LoadProfile(*wmaHolder.object, settings))
        return result;
    if (int result = conversion.Open())
        return result;
    BeginProgress();
    return RunConversion(conversion);
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
    // Before the running conversions see the Stop, so that no worker takes
    // a further file of a stopped batch.
    if (BatchStopped())
        batchStop = true;
    ++stopCount;
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

LRESULT CZEPDlg::OnBatchFile(const CBatchFiles& batch, const wchar_t* path) {
    if (jobRunning)
        return 0;
    inputPath = path;
    outputPath.clear();
    UpdateData(false);
    runningBatch = &batch;
    OnConvert();
    runningBatch = nullptr;
    return 0;
}

bool CZEPDlg::BatchStopped() const { return runningBatch && runningBatch->stopped(); }

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
    ReportError(number, inputPath);
    finished = 1;
}

// In a batch the input's three lines go to the log window together.
void CZEPDlg::ReportError(int number, const std::wstring& input) {
    const std::wstring heading = ErrorHeading(number);
    const std::wstring text = GetErrorText(number);
    const std::wstring line = text.empty() ? heading : heading + L" - " + text;
    bool logged = false;
    if (batchState != 0) {
        CSendLogMsg log;
        log.Send(input, L"Jotter");
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
}
