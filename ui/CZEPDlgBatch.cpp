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
#include "settings/EncoderOptions.h"
#include "settings/Profile.h"
#include "ui/CZEPDlg.h"
#include <memory>

namespace {

// The longest the user-interface thread sleeps between looks at the workers.
constexpr DWORD kLookMs = 100;

// A batch file's conversion on a worker thread: no windows of its own, only
// the messages its decoder's objects post to the thread; it ends at the
// first Stop after it began.
class CWorkerListener : public IConversionListener {
  public:
    explicit CWorkerListener(const std::atomic<unsigned>& stops) : stops(stops), begunAt(stops) {}
    void BetweenBlocks() override { DispatchThreadMessages(); }
    bool Stopped() override { return stops != begunAt; }
    void Progress(double) override {}
    void CoverLeftOut() override { coverLeftOut = true; }

    bool coverLeftOut = false;

  private:
    const std::atomic<unsigned>& stops;
    const unsigned begunAt;
};

} // namespace

LRESULT CZEPDlg::OnBatchFiles(const CBatchFiles& batch) {
    if (jobRunning)
        return 0;
    // Every Batch Start asks its own question, whatever an earlier one answered.
    batchState = 1;
    batchFormat.Free();
    UpdateData(true);
    const int type = DecideOutputType();
    const int jobs = type < 0 ? 1 : BatchJobs(type, ProfileGetInt(L"data", L"BatchJobs", 0));
    if (jobs <= 1)
        return 0;
    CScopedFlag running(jobRunning);
    runningBatch = &batch;
    // Cancelled, or the batch stopped meanwhile, the question ends the
    // batch before any file is written.
    CEncoderOptions options;
    if (AskBatchQuestion(type, batch.files, options) == 0)
        ConvertAtOnce(type, jobs, batch, options);
    runningBatch = nullptr;
    return 1;
}

// The output format's question for the whole batch, over the first file
// that decodes.
int CZEPDlg::AskBatchQuestion(int type, const std::vector<std::wstring>& files,
                              CEncoderOptions& options) {
    for (const std::wstring& file : files) {
        std::unique_ptr<CDecAudio> decoder(CreateDecoder());
        if (decoder->Open(file.c_str()) == 0)
            return OutputFormatOf(type)->Ask(*this, *decoder->GetFormat(), options);
    }
    ApplySettings(settings, options);
    return 0; // not one file decodes: each fails on its own
}

// A file of the batch on a worker thread, through that worker's writers.
int CZEPDlg::ConvertOnWorker(CFileConverter& converter, const std::wstring& input,
                             const COutputTarget& target, const CEncoderOptions& options,
                             IConversionListener& listener) {
    std::unique_ptr<CDecAudio> decoder(CreateDecoder());
    if (decoder->Open(input.c_str()) != 0)
        return kUndecodable;
    return converter.Convert(*decoder, input, target, options, listener);
}

void CZEPDlg::ConvertAtOnce(int type, int jobs, const CBatchFiles& batch,
                            const CEncoderOptions& options) {
    const std::vector<std::wstring>& files = batch.files;
    const std::vector<std::wstring> outputs = BatchOutputPaths(type, files);
    // Made here, one after another: their writers load libraries, which
    // under Wine may deadlock against a conversion starting on another thread.
    std::vector<std::unique_ptr<CFileConverter>> converters;
    for (int n = 0; n < jobs && n < static_cast<int>(files.size()); ++n)
        converters.push_back(std::make_unique<CFileConverter>(type));
    // Whether a file's conversion was stopped: by the batch's own Stop, it
    // does not count as converted; by the main window's, the batch goes on.
    std::vector<char> stopped(files.size(), 0);
    std::vector<char> coverLeftOut(files.size(), 0);
    batchStop = false;
    BeginProgress();
    const HWND window = GetSafeHwnd();
    CParallelFiles workers(
        files.size(), converters.size(),
        [&](size_t worker, size_t at) {
            if (batchStop) {
                stopped[at] = 1;
                return 0;
            }
            CWorkerListener listener(stopCount);
            const COutputTarget target{outputs[at], BatchNextFreeName(files[at], outputs)};
            CEncoderOptions fileOptions = options;
            ShareThreads(fileOptions, jobs, files.size() - at);
            const int result =
                ConvertOnWorker(*converters[worker], files[at], target, fileOptions, listener);
            stopped[at] = listener.Stopped();
            coverLeftOut[at] = listener.coverLeftOut;
            return result;
        },
        [window] { PostMessageW(window, WM_NULL, 0, 0); });
    int converted = 0;
    auto reportEnded = [&] {
        for (const CParallelFiles::Ended& ended : workers.TakeEnded()) {
            if (ended.result != 0)
                ReportError(ended.result, files[ended.file]);
            else if (coverLeftOut[ended.file])
                LogCoverLeftOut(files[ended.file]);
            if (!(stopped[ended.file] && batchStop))
                batch.filesFinished(++converted);
        }
    };
    // The workers' ends are reported here, between the messages of this thread.
    while (workers.Running()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kLookMs, QS_ALLINPUT);
        if (PumpMessages() != 0) {
            batchStop = true;
            ++stopCount;
        }
        reportEnded();
    }
    workers.Join();
    reportEnded();
    EndProgress();
}
