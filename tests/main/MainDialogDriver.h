#pragma once
#include "ui/CBatchFiles.h"
#include "ui/CZEPDlg.h"
#include <atomic>
#include <functional>
#include <string>
#include <vector>

// The main dialog as the tests see it: the job state it keeps, and a count
// of the conversions it has finished handling.
class CTestZEPDlg : public CZEPDlg {
  public:
    std::atomic<int> jobsDone{0};

    bool HasDecoder() const { return decoderHolder.object != nullptr; }
    int Finished() const { return finished; }
    int OutputType() const { return outputType; }
    void SetBatchState(int state) { batchState = state; }
    // Replaces the WMA writer, e.g. by one that reports an analysis pass.
    void UseWmaWriter(CEncWMVWMA* writer) { wmaHolder.Attach(writer); }
    // A target format remembered as if chosen earlier in a batch.
    void RememberBatchFormat(const WAVEFORMATEX& format);
    // What the dialog's own decoder opens path with when the saved Decoder
    // value is saved; empty when it does not open.
    std::wstring DecoderFor(const std::wstring& path, int saved);
    // Makes the jobs' decoders when set; the dialog's own otherwise.
    std::function<CDecAudio*()> makeDecoder;

    // Posted to the dialog: shows the error number in wParam on the dialog's thread.
    static const UINT ShowErrorMessage = WM_APP + 7;

  protected:
    CDecAudio* CreateDecoder() override {
        return makeDecoder ? makeDecoder() : CZEPDlg::CreateDecoder();
    }
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
};

// A batch of this process as the batch dialog makes one: what the
// registered batch messages carry, its Stop, and the files it saw finished.
struct CTestBatch {
    explicit CTestBatch(std::vector<std::wstring> paths) : files(std::move(paths)) {}
    WPARAM File(size_t n) const { return reinterpret_cast<WPARAM>(files[n].c_str()); }
    WPARAM Whole() const { return reinterpret_cast<WPARAM>(&batch); }

    const std::vector<std::wstring> files;
    std::atomic<bool> stopped{false};
    std::atomic<int> finished{0};
    CBatchFiles batch{files, L"", {}, [this](int count) { finished = count; },
                      [this] { return stopped.load(); }};
};

// Where the main tests write: ZEP_TEST_MAIN_OUT names the folder as a host path.
std::wstring MainOutputPath(const std::string& name);

// Runs the dialog modally on this thread while script drives it from a
// thread of the test's own; the dialog is closed when the script returns.
void RunMainDialog(CTestZEPDlg& dialog, const std::function<void(HWND)>& script);

// Presses Convert and waits until the job has ended.
bool Convert(CTestZEPDlg& dialog, HWND window, DWORD timeoutMs = 120000);
bool WaitForJobs(CTestZEPDlg& dialog, int count, DWORD timeoutMs = 120000);

// Presses OK in the system's format chooser, shown by the thread, after
// choosing the tag and the attributes whose texts begin with the prefixes.
bool AnswerFormatChooser(DWORD thread, const wchar_t* tag, const wchar_t* attributes);

// Answers the next message box the thread shows over owner with OK.
struct ShownBox {
    std::wstring caption, text;
};
ShownBox AnswerMessageBox(DWORD thread, HWND owner, DWORD timeoutMs = 10000);
