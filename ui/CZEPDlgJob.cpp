// The main dialog as the driver of the conversion job: from the Convert
// button to the closed output file, with the settings each output asks
// for, progress, Stop, numbered errors and the batch log.
#include "decode/CDecAnyAudio.h"
#include "engine/CFileConversion.h"
#include "engine/OutputNaming.h"
#include "engine/ProgressText.h"
#include "framework/CScopedFlag.h"
#include "framework/CSendLogMsg.h"
#include "framework/PumpMessages.h"
#include "pcm/CPcmFormat.h"
#include "resources/ErrorNumbers.h"
#include "resources/resource.h"
#include "settings/EncoderOptions.h"
#include "ui/CBATDlg.h"
#include "ui/CZEPDlg.h"
#include "ui/EditSettings.h"
#include "ui/ErrorMessages.h"
#include "ui/Language.h"

namespace {

constexpr UINT_PTR kProgressTimer = 1;

} // namespace

void CZEPDlg::OnConvert() {
    if (!jobRunning) // else only reachable through the message pump of the running job
        ConvertInput();
}

int CZEPDlg::ConvertInput() {
    UpdateData(true);
    if (inputPath.empty()) {
        ShowError(kNoInput);
        return kNoInput;
    }
    CScopedFlag running(jobRunning);
    jobInput = inputPath;
    decoderHolder.Attach(CreateDecoder());
    if (Decoder()->Open(jobInput.c_str()) != 0) {
        decoderHolder.Release();
        ShowError(kUndecodable);
        return kUndecodable;
    }
    int type = DecideOutputType();
    if (batchState != 0 && !batchTarget) {
        outputPath = UnusedOutputPath(jobInput, outputPath);
        UpdateData(false);
    }
    SetTimer(GetSafeHwnd(), kProgressTimer, 500, nullptr);
    const int result = RunJob(type);
    if (result != 0)
        finished = 1; // a failure, even a silent one, never shows 100 %
    ShowError(result);
    KillTimer(GetSafeHwnd(), kProgressTimer);
    EndProgress();
    return result;
}

CDecAudio* CZEPDlg::CreateDecoder() { return new CDecAnyAudio(DecoderChoiceOf(settings.decoder)); }

// The output format's question, then the one conversion path every
// conversion takes; the conversion ends its encoder and settles the output
// whatever happened.
int CZEPDlg::RunJob(int type) {
    const COutputFormat* format = OutputFormatOf(type);
    if (!format)
        return 0;
    CEncoderOptions options;
    if (int asked = format->Ask(*this, *Decoder()->GetFormat(), options))
        return asked;
    BeginProgress();
    const CEncoderWriters writers{*wavHolder.object, *mp3Holder.object, *wmaHolder.object};
    // A batch's output never replaces a file that took its name meanwhile.
    const COutputTarget target =
        batchTarget
            ? *batchTarget
            : COutputTarget{outputPath, batchState != 0 ? BatchNextFreeName(jobInput) : nullptr};
    return CFileConversion(*format, writers, options).Convert(*Decoder(), jobInput, target, *this);
}

int CZEPDlg::AskSettings(int (*edit)(CAudioInfo&, HWND), CEncoderOptions& options) {
    if (int result = AskSettingsOnce(edit))
        return result;
    ApplySettings(settings, options);
    return 0;
}

int CZEPDlg::AskMp3Settings(CEncoderOptions& options) {
    return AskSettings(EditMp3Settings, options);
}

int CZEPDlg::AskWmaSettings(CEncoderOptions& options) {
    return AskSettings(EditWmaSettings, options);
}

int CZEPDlg::AskFlacSettings(CEncoderOptions& options) {
    return AskSettings(EditFlacSettings, options);
}

int CZEPDlg::AskOpusSettings(CEncoderOptions& options) {
    return AskSettings(EditOpusSettings, options);
}

// The format chooser over the source format; in a batch the first format
// chosen serves the remaining files. The batch's Stop pressed while a
// question is open ends the batch as Cancel would.
int CZEPDlg::AskWavFormat(const WAVEFORMATEX& source, CEncoderOptions& options) {
    if (batchFormat.GetCount() == 0) {
        CWaveFileACM& wav = *wavHolder.object;
        wav.SetSourceFormat(&source);
        if (wav.ChooseFormat(GetSafeHwnd()) == 0 || BatchStopped()) {
            finished = 1;
            return kCancelled;
        }
        options.SetWavFormat(*wav.GetDestFormat());
        if (batchState == 1) {
            batchFormat.Resize(static_cast<int>(options.wavFormat.size()));
            batchFormat.CopyFrom(options.wavFormat.data(),
                                 static_cast<int>(options.wavFormat.size()));
            batchState = 2;
        }
    } else {
        options.wavFormat.assign(batchFormat.data, batchFormat.data + batchFormat.GetCount());
    }
    ApplySettings(settings, options);
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
    // Convert comes back when the job has ended: a stopped conversion still
    // finishes its file, which takes a moment with the mp3 on every core.
    EnableWindow(GetDlgItem(IDC_STOP), false);
}

void CZEPDlg::OnTimer(UINT_PTR id) {
    if (id != kProgressTimer)
        return;
    std::wstring prefix =
        wmaHolder.object->GetTwoPass() ? LoadResPairedString(10001, 10002) : std::wstring();
    // The source's own format beside the time: what the output can keep of it.
    const std::wstring source = Decoder() ? L"  " + DescribeWave(*Decoder()->GetFormat()) : L"";
    SetDlgItemTextW(GetSafeHwnd(), IDC_STATUS,
                    (ProgressText(progress, static_cast<unsigned>(timeKeeper.GetTotal()),
                                  LoadResPairedString(10065, 10066), prefix) +
                     source)
                        .c_str());
    progressBar.SetPos(static_cast<int>(progress));
}

// The plan settles a file that is passed over, skipped or refused; the
// rest converts as Convert converts, into the plan's output.
LRESULT CZEPDlg::OnBatchFile(CBatchFiles& batch, size_t at) {
    if (jobRunning)
        return 0;
    const CBatchPlan& plan = batch.PlanFor(SelectedOutputType());
    if (!SettleBatchFile(plan, at, batch.counts))
        return 0;
    const COutputTarget target = plan.Target(at);
    inputPath = plan.Items()[at].input;
    outputPath = target.path;
    UpdateData(false);
    runningBatch = &batch;
    batchTarget = &target;
    batch.counts.Count(CBatchPlan::Action::Convert, ConvertInput());
    batchTarget = nullptr;
    runningBatch = nullptr;
    return 0;
}

// Whether a file is to convert, and its folders are there; else the file
// is counted, and its failure reported.
bool CZEPDlg::SettleBatchFile(const CBatchPlan& plan, size_t at, CBatchCounts& counts) {
    const CBatchPlan::Item& item = plan.Items()[at];
    int failure = 0;
    if (item.action == CBatchPlan::Action::Clash)
        failure = kOutputNameClash;
    else if (item.action == CBatchPlan::Action::Convert && !plan.MakeFolders(at))
        failure = kOutputFolderFailed;
    if (failure != 0)
        ReportError(failure, item.input, item.clashesWith);
    if (item.action != CBatchPlan::Action::Convert || failure != 0) {
        counts.Count(item.action, failure);
        return false;
    }
    return true;
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

void CZEPDlg::CoverLeftOut() { LogCoverLeftOut(jobInput); }

// In a batch a cover the output cannot hold is a line in the log window;
// the conversion itself succeeded.
void CZEPDlg::LogCoverLeftOut(const std::wstring& input) {
    if (batchState != 0)
        CSendLogMsg().Send(CoverLeftOutText(input), L"Jotter");
}

// In a batch the input's three lines go to the log window together.
void CZEPDlg::ReportError(int number, const std::wstring& input, const std::wstring& detail) {
    const std::wstring heading = ErrorHeading(number);
    std::wstring text = GetErrorText(number);
    if (!detail.empty())
        text += L" " + detail;
    const std::wstring line = ErrorLine(number) + (detail.empty() ? L"" : L" " + detail);
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
