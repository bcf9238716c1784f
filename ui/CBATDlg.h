#pragma once
#include "engine/CTimeMmanager.h"
#include "framework/CProgressCtrl.h"
#include "ui/CBaseDialog.h"
#include "ui/CBatchFiles.h"
#include <memory>
#include <string>
#include <vector>

// The batch dialog: converts the files of one folder (and of the folders
// below it, when asked), beside each input or into an output folder, named
// as before or from the tags, and skips or updates outputs made before; it
// remembers those choices with the folder. Each Batch Start
// offers the main dialog the whole batch ("WM_BATSTART_FILES"), which also
// tells it a new batch begins; when the main dialog runs one file at a
// time, it sends each path with "WM_BATSTART_AUDIO" instead (converted
// before the send returns). It shows the batch's progress and
// elapsed time, can stop the batch, and remembers the folder under "LASTDIR".
class CBATDlg : public CBaseDialog {
  public:
    // mainDialog receives the files and the Stop command.
    explicit CBATDlg(HWND mainDialog);
    // The same with a clock of the caller's choosing.
    CBATDlg(HWND mainDialog, std::unique_ptr<CTimeMmanager> clock);
    ~CBATDlg() override;

    // A dropped file or folder becomes the folder to convert.
    void OnDropFile(const std::wstring& path) override;

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void OnBatchStart();
    void OnChooseFolder();
    void OnChooseOutputFolder();
    void OnStop();
    void OnTimer();

  private:
    // The folder's files, or its tree's, in case-insensitive order of the paths.
    void BuildFileList();
    // The name pattern's mistake shown; false when there is none.
    bool RefusesPattern();
    CBatchChoices Choices() const;
    void SetRunning(bool running);
    // Whether the main dialog took the whole batch and converted it.
    bool ConvertedAtOnce(const CBatchFiles& batch);
    void ConvertOneByOne();
    void ShowFilesFinished(int finished);

    std::vector<std::wstring> files;
    HWND mainDialog;
    std::unique_ptr<CTimeMmanager> timer;
    int current = 0;
    UINT batchMessage;
    UINT stopCommandId;
    CProgressCtrl progressBar;
    std::wstring folder;
    int subfolders = 0;
    std::wstring outputFolder, namePattern;
    int existing = 0; // an ExistingOutputs
};
