// The main dialog converting a whole batch several files at a time: the
// question asked once, one writer set per worker thread, and every file's
// end reported here on the user-interface thread, which stays responsive.
#include "engine/BatchJobs.h"
#include "engine/CFileConverter.h"
#include "engine/CParallelFiles.h"
#include "engine/OutputNaming.h"
#include "framework/CScopedFlag.h"
#include "framework/PumpMessages.h"
#include "resources/ErrorNumbers.h"
#include "settings/EditSettings.h"
#include "settings/Profile.h"
#include "ui/CZEPDlg.h"
#include <memory>

namespace {

// The longest the user-interface thread sleeps between looks at the workers.
constexpr DWORD kLookMs = 100;

// A batch file's conversion on a worker thread: no windows of its own, only
// the messages its decoder's objects post to the thread; it ends when the
// batch is stopped.
class CWorkerListener : public IConversionListener {
  public:
    explicit CWorkerListener(const std::atomic<bool>& stop) : stop(stop) {}
    void BetweenBlocks() override { DispatchThreadMessages(); }
    bool Stopped() override { return stop; }
    void Progress(double) override {}

  private:
    const std::atomic<bool>& stop;
};

} // namespace

LRESULT CZEPDlg::OnBatchFiles(const CBatchFiles& batch) {
    if (jobRunning)
        return 0;
    UpdateData(true);
    const int type = DecideOutputType();
    const int jobs = type < 0 ? 1 : BatchJobs(type, ProfileGetInt(L"data", L"BatchJobs", 0));
    if (jobs <= 1)
        return 0;
    CScopedFlag running(jobRunning);
    // Cancelled, the question ends the batch before any file is written.
    if (AskBatchQuestion(type, batch.files) == 0)
        ConvertAtOnce(type, jobs, batch);
    return 1;
}

// The output type's question for the whole batch: the format chooser over
// the first file that decodes, or the encoder's settings dialog.
int CZEPDlg::AskBatchQuestion(int type, const std::vector<std::wstring>& files) {
    if (type == OutputWma)
        return AskSettingsOnce(EditWmaSettings);
    if (type != OutputWavAcm)
        return AskSettingsOnce(EditMp3Settings);
    for (const std::wstring& file : files) {
        std::unique_ptr<CDecAudio> decoder(CreateDecoder());
        if (decoder->Open(file.c_str()) == 0) {
            wavHolder.object->SetSourceFormat(decoder->GetFormat());
            return ChooseWavFormat();
        }
    }
    return 0; // not one file decodes: each fails on its own
}

// A file of the batch on a worker thread, through that worker's writers.
int CZEPDlg::ConvertOnWorker(CFileConverter& converter, const std::wstring& input,
                             const std::wstring& output) {
    std::unique_ptr<CDecAudio> decoder(CreateDecoder());
    if (decoder->Open(input.c_str()) != 0)
        return kUndecodable;
    CWorkerListener listener(batchStop);
    return converter.Convert(*decoder, input, output, listener);
}

void CZEPDlg::ConvertAtOnce(int type, int jobs, const CBatchFiles& batch) {
    const std::vector<std::wstring>& files = batch.files;
    const std::vector<std::wstring> outputs = BatchOutputPaths(type, files);
    const CAudioInfo jobSettings = settings;
    const auto* format = reinterpret_cast<const WAVEFORMATEX*>(batchFormat.data);
    // Made here, one after another: their writers load libraries, which
    // under Wine may deadlock against a conversion starting on another thread.
    std::vector<std::unique_ptr<CFileConverter>> converters;
    for (int n = 0; n < jobs && n < static_cast<int>(files.size()); ++n)
        converters.push_back(std::make_unique<CFileConverter>(
            type, jobSettings, [format](const WAVEFORMATEX&) { return format; }));
    // Whether a file ended with the batch stopped: it then does not count as converted.
    std::vector<char> stopped(files.size(), 0);
    batchStop = false;
    BeginProgress();
    const HWND window = GetSafeHwnd();
    CParallelFiles workers(
        files.size(), converters.size(),
        [&](size_t worker, size_t at) {
            const int result =
                batchStop ? 0 : ConvertOnWorker(*converters[worker], files[at], outputs[at]);
            stopped[at] = batchStop;
            return result;
        },
        [window] { PostMessageW(window, WM_NULL, 0, 0); });
    int converted = 0;
    auto reportEnded = [&] {
        for (const CParallelFiles::Ended& ended : workers.TakeEnded()) {
            if (ended.result != 0)
                ReportError(ended.result, files[ended.file]);
            if (!stopped[ended.file])
                batch.filesFinished(++converted);
        }
    };
    // The workers' ends are reported here, between the messages of this thread.
    while (workers.Running()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kLookMs, QS_ALLINPUT);
        if (PumpMessages() != 0)
            batchStop = true;
        reportEnded();
    }
    workers.Join();
    reportEnded();
    EndProgress();
}
