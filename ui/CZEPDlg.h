#pragma once
#include "decode/CDecAudio.h"
#include "encode/CEncGOGO.h"
#include "encode/CEncWMVWMA.h"
#include "engine/CFileConverter.h"
#include "engine/CTimeMmanager.h"
#include "framework/CComboBox.h"
#include "framework/CMemBuffBase.h"
#include "framework/CMemBuffClassBase.h"
#include "framework/CMemBuffClassBaseConst.h"
#include "framework/CProgressCtrl.h"
#include "pcm/CWaveFileACM.h"
#include "settings/CAudioInfo.h"
#include "ui/CBATDlg.h"
#include "ui/CBatchFiles.h"
#include "ui/CBaseDialog.h"
#include <atomic>
#include <string>
#include <vector>

// The main window: input and output paths, the output-format list, and the
// driver of the conversion job that runs inside the Convert button's
// handler on this thread, draining the message queue between blocks.
class CZEPDlg : public CBaseDialog, private IConversionListener, private IFormatQuestions {
  public:
    CZEPDlg();
    ~CZEPDlg() override;

    void OnDropFile(const std::wstring& path) override;
    // The input the window opens with, taken as a dropped file is; empty: none.
    void StartWith(const std::wstring& input) { startInput = input; }
    // The output type of the list's selection (-1 for none); forces the
    // output path's extension to match it.
    int DecideOutputType();
    // Shows a failure as "Error No.%04d" with its text, or sends it to the
    // log window during a batch; 0 and -2 are silent.
    void ShowError(int number);

    void OnConvert();
    void OnStop();
    void OnTimer(UINT_PTR id);
    // File at of a batch, converted as Convert converts.
    LRESULT OnBatchFile(CBatchFiles& batch, size_t at);
    // A batch begins: its question is asked anew. The whole batch is then
    // converted here, several files at a time, when the saved settings and
    // the encoder allow: 1 when it ran, 0 to leave it to one file at a time.
    LRESULT OnBatchFiles(CBatchFiles& batch);
    void OnBatchMenu();

  protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void OnBrowseInput();
    void OnBrowseOutput();
    void OnSetting();
    // The decoder of a job: DirectShow's, or a stand-in.
    virtual CDecAudio* CreateDecoder();
    // Convert's job: 0 or the error number, which has been shown.
    int ConvertInput();
    // The list's output type, -1 for none.
    int SelectedOutputType();
    int RunJob(int type);
    bool SettleBatchFile(const CBatchPlan& plan, size_t at, CBatchCounts& counts);
    // The plan's files to convert, for the batch's question.
    static std::vector<std::wstring> PlannedInputs(const CBatchPlan& plan);
    int AskBatchQuestion(int type, const std::vector<std::wstring>& files,
                         CEncoderOptions& options);
    void ConvertAtOnce(int type, int jobs, CBatchFiles& batch, const CEncoderOptions& options);
    int ConvertOnWorker(CFileConverter& converter, const std::wstring& input,
                        const COutputTarget& target, const CEncoderOptions& options,
                        IConversionListener& listener);
    // Whether the running batch's own Stop was pressed.
    bool BatchStopped() const;
    // detail follows the number's text (a batch's clash names the other input).
    void ReportError(int number, const std::wstring& input, const std::wstring& detail = {});
    void LogCoverLeftOut(const std::wstring& input);
    int AskSettingsOnce(int (*edit)(CAudioInfo& settings, HWND parent));
    // A settings dialog's question (once per batch), its answer into options.
    int AskSettings(int (*edit)(CAudioInfo& settings, HWND parent), CEncoderOptions& options);
    void BeginProgress();
    void EndProgress();
    void EnableJobButtons(bool running);
    CDecAudio* Decoder() const { return decoderHolder.object; }

    CAudioInfo settings;
    CMemBuffClassBaseConst<CEncWMVWMA> wmaHolder;
    CMemBuffClassBaseConst<CWaveFileACM> wavHolder;
    CMemBuffClassBaseConst<CEncGOGO> mp3Holder;
    CMemBuffClassBase<CDecAudio> decoderHolder;
    CTimeMmanager timeKeeper;
    double progress = 0.0;
    int finished = 1;
    int batchState = 0;
    CMemBuffBase<unsigned char> batchFormat;
    int outputType = 0;
    CComboBox outputList;
    CProgressCtrl progressBar;
    std::wstring inputPath;
    std::wstring outputPath;
    std::wstring startInput;
    // The input the running job decodes, whatever the input field says meanwhile.
    std::wstring jobInput;
    HICON icon;
    // Set while a job runs: the message pump must not start a second one.
    bool jobRunning = false;
    // Counts the Stops: a batch's conversion on another thread stops when
    // it changes.
    std::atomic<unsigned> stopCount{0};
    // Set by the batch's own Stop: its workers take no further file.
    std::atomic<bool> batchStop{false};
    // The batch whose file or files are converting.
    const CBatchFiles* runningBatch = nullptr;
    // Where the batch's running file goes, as its plan says.
    const COutputTarget* batchTarget = nullptr;

  private:
    void BetweenBlocks() override;
    bool Stopped() override;
    void Progress(double percent) override;
    void PassEnded() override;
    void PassBegins() override;
    void CoverLeftOut() override;

    int AskMp3Settings(CEncoderOptions& options) override;
    int AskWmaSettings(CEncoderOptions& options) override;
    int AskFlacSettings(CEncoderOptions& options) override;
    int AskOpusSettings(CEncoderOptions& options) override;
    int AskWavFormat(const WAVEFORMATEX& source, CEncoderOptions& options) override;
};
