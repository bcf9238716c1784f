// The main dialog converting a whole batch several files at a time: the
// question asked once, one writer set per worker thread, and every file's
// end reported here on the user-interface thread, which stays responsive.
#include "engine/BatchJobs.h"
#include "engine/CFileConverter.h"
#include "engine/CParallelFiles.h"
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

LRESULT CZEPDlg::OnBatchFiles(CBatchFiles& batch) {
    if (jobRunning)
        return 0;
    // Every Batch Start asks its own question, whatever an earlier one answered.
    batchState = 1;
    batchFormat.Free();
    UpdateData(true);
    const int type = DecideOutputType();
    const CBatchPlan& plan = batch.PlanFor(type);
    const int jobs = type < 0 ? 1 : BatchJobs(type, ProfileGetInt(L"data", L"BatchJobs", 0));
    if (jobs <= 1)
        return 0;
    CScopedFlag running(jobRunning);
    runningBatch = &batch;
    // Cancelled, or the batch stopped meanwhile, the question ends the
    // batch before any file is written.
    CEncoderOptions options;
    if (AskBatchQuestion(type, PlannedInputs(plan), options) == 0)
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

void CZEPDlg::ConvertAtOnce(int type, int jobs, CBatchFiles& batch,
                            const CEncoderOptions& options) {
    const CBatchPlan& plan = batch.PlanFor(type);
    // The files the plan settles count at once; the rest as they end.
    std::vector<size_t> planned;
    int done = 0;
    for (size_t at = 0; at < plan.Items().size(); ++at) {
        if (SettleBatchFile(plan, at, batch.counts))
            planned.push_back(at);
        else
            batch.filesFinished(++done);
    }
    // Made here, one after another: their writers load libraries, which
    // under Wine may deadlock against a conversion starting on another thread.
    std::vector<std::unique_ptr<CFileConverter>> converters;
    for (size_t n = 0; n < static_cast<size_t>(jobs) && n < planned.size(); ++n)
        converters.push_back(std::make_unique<CFileConverter>(type));
    // Whether a file's conversion was stopped: by the batch's own Stop, it
    // does not count as converted; by the main window's, the batch goes on.
    std::vector<char> stopped(planned.size(), 0);
    std::vector<char> coverLeftOut(planned.size(), 0);
    batchStop = false;
    BeginProgress();
    const HWND window = GetSafeHwnd();
    CParallelFiles workers(
        planned.size(), converters.size(),
        [&](size_t worker, size_t n) {
            if (batchStop) {
                stopped[n] = 1;
                return 0;
            }
            CWorkerListener listener(stopCount);
            const size_t at = planned[n];
            CEncoderOptions fileOptions = options;
            ShareThreads(fileOptions, jobs, planned.size() - n);
            const int result = ConvertOnWorker(*converters[worker], plan.Items()[at].input,
                                               plan.Target(at), fileOptions, listener);
            stopped[n] = listener.Stopped();
            coverLeftOut[n] = listener.coverLeftOut;
            return result;
        },
        [window] { PostMessageW(window, WM_NULL, 0, 0); });
    auto reportEnded = [&] {
        for (const CParallelFiles::Ended& ended : workers.TakeEnded()) {
            const std::wstring& input = plan.Items()[planned[ended.file]].input;
            if (ended.result != 0)
                ReportError(ended.result, input);
            else if (coverLeftOut[ended.file])
                LogCoverLeftOut(input);
            if (stopped[ended.file] && batchStop)
                continue;
            batch.counts.Count(CBatchPlan::Action::Convert, ended.result);
            batch.filesFinished(++done);
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

std::vector<std::wstring> CZEPDlg::PlannedInputs(const CBatchPlan& plan) {
    std::vector<std::wstring> inputs;
    for (const CBatchPlan::Item& item : plan.Items())
        if (item.action == CBatchPlan::Action::Convert)
            inputs.push_back(item.input);
    return inputs;
}
