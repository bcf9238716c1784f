#include "CZEPDlg.h"
#include "engine/OutputNaming.h"
#include "framework/CApplication.h"
#include "framework/CDataExchange.h"
#include "framework/PathSplit.h"
#include "resources/resource.h"
#include "settings/Profile.h"
#include "ui/CAudioDlg.h"
#include "ui/CZEPApp.h"
#include "ui/Language.h"
#include <vector>

#include <commdlg.h>

namespace {

struct Caption {
    int control;
    UINT japaneseId;
};
constexpr Caption kCaptions[] = {
    {IDC_INPUT_GROUP, 10041}, {IDC_OUTPUT_GROUP, 10043}, {IDC_PROGRESS_GROUP, 10045},
    {IDC_STATUS, 10047},      {IDC_SETTING, 10049},      {IDC_STOP, 10051},
    {IDC_CONVERT, 10053},
};

// A file dialog filter written with '|' separators, as the system wants it.
std::wstring Filter(const std::wstring& text) {
    std::wstring filter = text;
    for (wchar_t& c : filter)
        if (c == L'|')
            c = L'\0';
    return filter + L'\0';
}

// The chosen path, or empty on Cancel. The buffer takes paths of any length
// the system allows.
std::wstring RunFileDialog(bool save, HWND owner, const std::wstring& filter,
                           const wchar_t* extension, const std::wstring& initialName) {
    std::vector<wchar_t> file(32768, L'\0');
    initialName.copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? std::wstring(file.data()) : std::wstring();
}

} // namespace

CZEPDlg::CZEPDlg()
    : CBaseDialog(IDD_ZEP_DIALOG, nullptr, 1, 0), outputType(ProfileGetInt(L"data", L"Audio", 0)),
      icon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CZEPDlg::~CZEPDlg() { ProfileWriteInt(L"data", L"Audio", outputType); }

void CZEPDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Bind(IDC_OUTPUT_FORMAT, outputList);
    exchange.Bind(IDC_PROGRESS, progressBar);
    exchange.Text(IDC_INPUT_PATH, inputPath);
    exchange.Text(IDC_OUTPUT_PATH, outputPath);
}

BOOL CZEPDlg::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    for (const Caption& caption : kCaptions)
        SetItemText(caption.control, LoadPairedString(caption.japaneseId, caption.japaneseId + 1),
                    0);
    if (IsJapanese())
        SetMenuFromResource(IDR_MENU_JAPANESE);
    SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    const std::wstring libraryNote = LoadResPairedString(10009, 10010);
    const auto& formats = OutputFormats();
    for (size_t type = 0; type < formats.size(); ++type) {
        const COutputFormat& format = formats[type];
        const std::wstring item =
            format.listName + (format.usesMp3Library ? libraryNote : std::wstring());
        outputList.SetItemData(outputList.AddString(item), static_cast<DWORD_PTR>(type));
    }
    outputList.SetCurSel(OutputFormatOf(outputType) ? outputType : -1);
    if (!startInput.empty())
        OnDropFile(startInput);
    return TRUE;
}

bool CZEPDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_OUTPUT_FORMAT) {
        if (code == CBN_SELCHANGE)
            DecideOutputType();
        return code == CBN_SELCHANGE;
    }
    if (code > 1)
        return CBaseDialog::OnCommand(id, code, control);
    switch (id) {
    case IDC_BROWSE_INPUT:
        OnBrowseInput();
        return true;
    case IDC_BROWSE_OUTPUT:
        OnBrowseOutput();
        return true;
    case IDC_CONVERT:
        OnConvert();
        return true;
    case IDC_STOP:
        OnStop();
        return true;
    case IDC_SETTING:
        OnSetting();
        return true;
    case ID_BATCH:
        OnBatchMenu();
        return true;
    default:
        return CBaseDialog::OnCommand(id, code, control);
    }
}

bool CZEPDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_TIMER) {
        OnTimer(wParam);
        return false; // the default handling sees the timer as well
    }
    if (message == WM_BATSTART_FILES) {
        CBatchFiles* batch = CBatchFiles::FromMessage(wParam);
        SetMessageResult(batch ? OnBatchFiles(*batch) : 0);
        result = TRUE;
        return true;
    }
    if (message == WM_BATSTART_AUDIO) {
        size_t at = 0;
        CBatchFiles* batch = CBatchFiles::OfFileMessage(wParam, at);
        SetMessageResult(batch ? OnBatchFile(*batch, at) : 0);
        result = TRUE;
        return true;
    }
    return CBaseDialog::HandleMessage(message, wParam, lParam, result);
}

void CZEPDlg::OnDropFile(const std::wstring& path) {
    UpdateData(true);
    inputPath = path;
    outputPath = DroppedOutputPath(outputType, inputPath, outputPath);
    UpdateData(false);
}

int CZEPDlg::SelectedOutputType() {
    const int selection = outputList.GetCurSel();
    return selection < 0 ? -1 : static_cast<int>(outputList.GetItemData(selection));
}

int CZEPDlg::DecideOutputType() {
    outputType = SelectedOutputType();
    if (inputPath.empty())
        return outputType;
    UpdateData(true);
    outputPath = DecideOutputPath(outputType, inputPath, outputPath);
    UpdateData(false);
    return outputType;
}

void CZEPDlg::OnBrowseInput() {
    std::wstring chosen =
        RunFileDialog(false, GetSafeHwnd(),
                      Filter(PickLanguage(L"すべてのファイル  (*.*)|*.*|", L"all (*.*)|*.*|")),
                      L"wav", std::wstring());
    if (chosen.empty())
        return;
    inputPath = chosen;
    if (outputPath.empty())
        outputPath = PathStem(inputPath) + L".wav";
    UpdateData(false);
}

void CZEPDlg::OnBrowseOutput() {
    UpdateData(true);
    std::wstring chosen = RunFileDialog(
        true, GetSafeHwnd(), Filter(L"WAV (*.WAV)|*.wav|MP3 (*.mp3)|*.mp3|WMA (*.wma)|*.wma|"),
        L"WAV", PathStem(inputPath) + L".wav");
    if (!chosen.empty())
        outputPath = chosen;
    UpdateData(false);
}

// The "Setting" dialog works on a copy; every way out saves the record.
void CZEPDlg::OnSetting() {
    CDialog* mainWindow = CApplication::Current() ? CApplication::Current()->GetMainWnd() : nullptr;
    CAudioDlg dialog(mainWindow ? mainWindow->GetSafeHwnd() : GetSafeHwnd());
    dialog.settings.CopyFrom(settings);
    if (dialog.DoModal() == IDOK)
        settings.CopyFrom(dialog.settings);
    settings.Save();
}
