#include "CBATDlg.h"
#include "engine/FolderFiles.h"
#include "framework/CDataExchange.h"
#include "resources/resource.h"
#include "settings/Profile.h"
#include "ui/CBrowse.h"
#include "ui/CZEPApp.h"
#include "ui/Language.h"
#include <algorithm>
#include <cwchar>

namespace {

constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusPeriodMs = 1000;

std::wstring StatusText(int file, int count, DWORD seconds) {
    wchar_t text[64] = {};
    swprintf(text, 64, L"%d/%d  %02lu:%02lu:%02lu", file, count,
             static_cast<unsigned long>(seconds / 3600),
             static_cast<unsigned long>(seconds % 3600 / 60),
             static_cast<unsigned long>(seconds % 60));
    return text;
}

} // namespace

CBATDlg::CBATDlg(HWND mainDialog) : CBATDlg(mainDialog, std::make_unique<CTimeMmanager>()) {}

CBATDlg::CBATDlg(HWND mainDialog, std::unique_ptr<CTimeMmanager> clock)
    : CBaseDialog(IDD_BAT_ENCODE, nullptr, 0, 0), mainDialog(mainDialog), timer(std::move(clock)),
      batchMessage(WM_BATSTART_AUDIO), stopCommandId(IDC_STOP),
      folder(ProfileGetString(L"data", L"LASTDIR", L"")),
      subfolders(ProfileGetInt(L"data", L"Subfolders", 0) != 0 ? 1 : 0),
      outputFolder(ProfileGetString(L"data", L"OutputFolder", L"")),
      namePattern(ProfileGetString(L"data", L"NamePattern", L"")),
      existing(std::clamp(ProfileGetInt(L"data", L"ExistingOutput", 0), 0, 2)) {}

CBATDlg::~CBATDlg() {
    files.clear();
    ProfileWriteString(L"data", L"LASTDIR", folder.c_str());
    ProfileWriteInt(L"data", L"Subfolders", subfolders);
    ProfileWriteString(L"data", L"OutputFolder", outputFolder.c_str());
    ProfileWriteString(L"data", L"NamePattern", namePattern.c_str());
    ProfileWriteInt(L"data", L"ExistingOutput", existing);
}

void CBATDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Bind(IDC_BAT_PROGRESS, progressBar);
    exchange.Text(IDC_BAT_FOLDER, folder);
    exchange.Check(IDC_BAT_SUBFOLDERS, subfolders);
    exchange.Text(IDC_BAT_OUTPUT, outputFolder);
    exchange.Text(IDC_BAT_PATTERN, namePattern);
    exchange.ComboIndex(IDC_BAT_EXISTING, existing);
}

BOOL CBATDlg::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    static const struct {
        int control;
        UINT japanese;
    } texts[] = {
        {IDC_BAT_FOLDER_LABEL, IDS_BAT_FOLDER_LABEL},
        {IDC_PROGRESS_GROUP, IDS_BAT_PROGRESS_GROUP},
        {IDC_STATUS, IDS_BAT_STATUS},
        {IDC_STOP, IDS_BAT_STOP},
        {IDC_BAT_START, IDS_BAT_START},
        {IDC_BAT_SUBFOLDERS, IDS_BAT_SUBFOLDERS},
        {IDC_BAT_OUTPUT_LABEL, IDS_BAT_OUTPUT_LABEL},
        {IDC_BAT_PATTERN_LABEL, IDS_BAT_PATTERN_LABEL},
        {IDC_BAT_EXISTING_LABEL, IDS_BAT_EXISTING_LABEL},
    };
    for (const auto& text : texts)
        SetItemText(text.control, LoadPairedString(text.japanese, text.japanese + 1), 0);
    SetWindowTextW(GetSafeHwnd(), LoadPairedString(IDS_BAT_CAPTION, IDS_BAT_CAPTION + 1).c_str());
    // In the order of ExistingOutputs.
    for (UINT japanese : {IDS_BAT_NEXT_FREE, IDS_BAT_SKIP, IDS_BAT_UPDATE})
        SendDlgItemMessageW(
            GetSafeHwnd(), IDC_BAT_EXISTING, CB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>(LoadPairedString(japanese, japanese + 1).c_str()));
    progressBar.SetRange(0, 100);
    UpdateData(false);
    return TRUE;
}

bool CBATDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (code != BN_CLICKED)
        return CBaseDialog::OnCommand(id, code, control);
    switch (id) {
    case IDC_BAT_START:
        OnBatchStart();
        return true;
    case IDC_BAT_BROWSE:
        OnChooseFolder();
        return true;
    case IDC_BAT_OUTPUT_BROWSE:
        OnChooseOutputFolder();
        return true;
    case IDC_STOP:
        OnStop();
        return true;
    default:
        return CBaseDialog::OnCommand(id, code, control);
    }
}

bool CBATDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_TIMER)
        OnTimer();
    return CBaseDialog::HandleMessage(message, wParam, lParam, result);
}

// What was typed in the other fields stays.
void CBATDlg::OnDropFile(const std::wstring& path) {
    UpdateData(true);
    folder = path;
    UpdateData(false);
}

void CBATDlg::OnChooseFolder() {
    UpdateData(true);
    std::wstring chosen = CBrowse().Browse(folder, GetSafeHwnd());
    if (!chosen.empty())
        folder = chosen;
    UpdateData(false);
}

void CBATDlg::OnChooseOutputFolder() {
    UpdateData(true);
    std::wstring chosen =
        CBrowse().Browse(outputFolder.empty() ? folder : outputFolder, GetSafeHwnd());
    if (!chosen.empty())
        outputFolder = chosen;
    UpdateData(false);
}

bool CBATDlg::RefusesPattern() {
    const CNamePattern::Mistake mistake = CNamePattern(namePattern, {}).Fault();
    if (mistake == CNamePattern::Mistake::None)
        return false;
    const UINT text = mistake == CNamePattern::Mistake::LeavesFolder ? IDS_BAT_PATTERN_LEAVES
                                                                     : IDS_BAT_PATTERN_UNKNOWN;
    const std::wstring caption = LoadPairedString(IDS_BAT_CAPTION, IDS_BAT_CAPTION + 1);
    MessageBoxW(GetSafeHwnd(), LoadPairedString(text, text + 1).c_str(), caption.c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return true;
}

CBatchChoices CBATDlg::Choices() const {
    return {subfolders != 0, outputFolder, namePattern, static_cast<ExistingOutputs>(existing)};
}

// Runs the whole batch inside this handler: the main dialog pumps messages
// while it converts, so Stop and the timer keep working meanwhile.
// The pattern is refused before anything starts; the end shows the counts.
void CBATDlg::OnBatchStart() {
    UpdateData(true);
    if (RefusesPattern())
        return;
    SetRunning(true);
    BuildFileList();
    timer->Start();
    SetTimer(GetSafeHwnd(), kStatusTimer, kStatusPeriodMs, nullptr);
    CBatchFiles batch(
        files, folder, Choices(), [this](int finished) { ShowFilesFinished(finished); },
        [this] { return idle == 1; });
    if (!ConvertedAtOnce(batch))
        ConvertOneByOne();
    SetRunning(false);
    KillTimer(GetSafeHwnd(), kStatusTimer);
    if (!files.empty())
        SetDlgItemTextW(GetSafeHwnd(), IDC_STATUS,
                        BatchCountsText(batch.counts, IsJapanese()).c_str());
}

void CBATDlg::ConvertOneByOne() {
    const int count = static_cast<int>(files.size());
    for (current = 0; current < count; ++current) {
        SendMessageW(mainDialog, batchMessage, reinterpret_cast<WPARAM>(files[current].c_str()), 0);
        if (idle == 1)
            break;
        progressBar.SetPos((current + 1) * 100 / count);
    }
}

bool CBATDlg::ConvertedAtOnce(const CBatchFiles& batch) {
    return !files.empty() &&
           SendMessageW(mainDialog, WM_BATSTART_FILES, reinterpret_cast<WPARAM>(&batch), 0) != 0;
}

// Several files at a time: the bar counts the files converted to their
// end, and the status names the next one to end.
void CBATDlg::ShowFilesFinished(int finished) {
    const int count = static_cast<int>(files.size());
    current = std::min(finished, count - 1);
    progressBar.SetPos(finished * 100 / count);
}

// Running: the stop request is clear, Batch Start is disabled and Stop enabled.
void CBATDlg::SetRunning(bool running) {
    idle = running ? 0 : 1;
    EnableWindow(GetDlgItem(IDC_BAT_START), !running);
    EnableWindow(GetDlgItem(IDC_STOP), running);
}

void CBATDlg::BuildFileList() {
    files = subfolders ? FolderTree(folder, outputFolder) : FolderFiles(folder);
}

void CBATDlg::OnStop() {
    idle = 1;
    SendMessageW(mainDialog, WM_COMMAND, MAKEWPARAM(stopCommandId, BN_CLICKED), 0);
}

void CBATDlg::OnTimer() {
    const DWORD seconds = timer->Elapsed() / 1000;
    SetDlgItemTextW(GetSafeHwnd(), IDC_STATUS,
                    StatusText(current + 1, static_cast<int>(files.size()), seconds).c_str());
}
