#include "CSetWMA.h"
#include "encode/CEncWMV.h"
#include "framework/CDataExchange.h"
#include "resdll/Res.h"
#include "ui/CResDllHandle.h"
#include "ui/ComboSelection.h"
#include "ui/Language.h"
#include <vector>

#include <commdlg.h>

namespace {

struct Profile {
    const wchar_t* text;
    int number; // 1-based system profile number
};

const Profile kVersion4Profiles[] = {
    {L"  6.5kbps Mono", 4},  {L" 16kbps Mono", 5},    {L" 20kbps Mono", 6},
    {L" 20kbps Stereo", 7},  {L" 32kbps Stereo", 8},  {L" 64kbps Stereo", 9},
    {L" 96kbps Stereo", 10}, {L"128kbps Stereo", 11},
};
const Profile kVersion7Profiles[] = {
    {L"  6.5kbps Mono", 17}, {L" 20kbps Mono", 18},   {L" 20kbps Stereo", 19},
    {L" 32kbps Stereo", 20}, {L" 48kbps Stereo", 21}, {L" 64kbps Stereo", 22},
    {L" 96kbps Stereo", 23}, {L"128kbps Stereo", 24},
};

constexpr DWORD kVersion4 = 0x40000;
constexpr DWORD kVersion7 = 0x70000;
constexpr int kSourceVersion4 = 0;
constexpr int kSourceVersion7 = 1;
constexpr int kSourceFile = 2;

template <size_t N> void FillProfiles(CComboBox& list, const Profile (&profiles)[N], int number) {
    for (const Profile& profile : profiles)
        AddWithData(list, profile.text, static_cast<DWORD_PTR>(profile.number));
    SelectByData(list, static_cast<DWORD_PTR>(number));
}

void InsertSource(HWND list, int index, const wchar_t* text) {
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text);
    item.iImage = index;
    item.iSelectedImage = index;
    SendMessageW(list, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

} // namespace

CSetWMA::CSetWMA(HWND parent) : CBaseDialog(0, parent, 0, 0) {
    // The source list is a ComboBoxEx, which the common controls register only on request.
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&classes);
}

int CSetWMA::SystemProfileCount(DWORD version) const {
    return CEncWMV::GetSystemProfileCount(version);
}

void CSetWMA::DoDataExchange(CDataExchange& exchange) {
    exchange.Bind(IDC_WMA_V4, v4List);
    exchange.Bind(IDC_WMA_V7, v7List);
    exchange.Bind(IDC_WMA_SOURCE, sourceList);
    exchange.Text(IDC_WMA_PRX, profilePath);
}

BOOL CSetWMA::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    SetTexts();
    FillProfileLists();
    EmptyListsWithoutProfiles();
    FillSourceList();
    ApplySourceRule();
    profilePath = settings.wmaPRX;
    CheckDlgButton(GetSafeHwnd(), IDC_WMA_TWO_PASS,
                   settings.wma2Pass ? BST_CHECKED : BST_UNCHECKED);
    UpdateData(false);
    return TRUE;
}

void CSetWMA::SetTexts() {
    static const struct {
        int control;
        UINT japanese;
    } labels[] = {
        {IDC_WMA_SOURCE_LABEL, IDS_WMA_SOURCE_LABEL},   {IDC_WMA_SYSTEM_NOTE, IDS_WMA_SYSTEM_NOTE},
        {IDC_WMA_FILE_NOTE, IDS_WMA_FILE_NOTE},         {IDC_WMA_V7_LABEL, IDS_WMA_V7_LABEL},
        {IDC_WMA_V4_LABEL, IDS_WMA_V4_LABEL},           {IDC_WMA_PRX_LABEL, IDS_WMA_PRX_LABEL},
        {IDC_WMA_TWO_PASS_NOTE, IDS_WMA_TWO_PASS_NOTE}, {IDC_WMA_TWO_PASS, IDS_WMA_TWO_PASS},
    };
    for (const auto& label : labels)
        SetItemText(label.control, LoadResPairedString(label.japanese, label.japanese + 1), 0);
    SetWindowTextW(GetSafeHwnd(),
                   LoadResPairedString(IDS_WMA_CAPTION, IDS_WMA_CAPTION + 1).c_str());
}

void CSetWMA::FillProfileLists() {
    FillProfiles(v4List, kVersion4Profiles, settings.wma4);
    FillProfiles(v7List, kVersion7Profiles, settings.wma7);
}

// A version the system has no profiles of cannot be chosen.
void CSetWMA::EmptyListsWithoutProfiles() {
    if (SystemProfileCount(kVersion7) == 0)
        v7List.ResetContent();
    if (SystemProfileCount(kVersion4) == 0) {
        v4List.ResetContent();
        if (settings.wmaSelect == kSourceVersion4)
            settings.wmaSelect = kSourceVersion7;
    }
}

void CSetWMA::FillSourceList() {
    static const UINT icons[] = {IDI_WMA_V4, IDI_WMA_V7, IDI_WMA_PRX};
    static const wchar_t* const texts[] = {L"V4", L"V7", L"PRX"};
    if (sourceImages.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 3)) {
        for (UINT icon : icons)
            sourceImages.AddIcon(ResDllHandle.LoadIcon(icon));
    }
    HWND list = sourceList.GetHwnd();
    SendMessageW(list, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(sourceImages.Get()));
    for (int i = 0; i < 3; ++i)
        InsertSource(list, i, texts[i]);
    if (sourceList.SetCurSel(settings.wmaSelect) < 0)
        sourceList.SetCurSel(0);
}

void CSetWMA::ApplySourceRule() {
    const int source = sourceList.GetCurSel();
    for (int id : {IDC_WMA_V4, IDC_WMA_V4_LABEL})
        EnableWindow(GetDlgItem(id), source == kSourceVersion4);
    for (int id : {IDC_WMA_V7, IDC_WMA_V7_LABEL})
        EnableWindow(GetDlgItem(id), source == kSourceVersion7);
    for (int id : {IDC_WMA_PRX_LABEL, IDC_WMA_PRX, IDC_WMA_BROWSE_PRX, IDC_WMA_TWO_PASS})
        EnableWindow(GetDlgItem(id), source == kSourceFile);
}

bool CSetWMA::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_WMA_SOURCE && code == CBN_SELCHANGE) {
        ApplySourceRule();
        return true;
    }
    if (id == IDC_WMA_BROWSE_PRX && code == BN_CLICKED) {
        ChooseProfileFile();
        return true;
    }
    return CBaseDialog::OnCommand(id, code, control);
}

// Whatever the answer, the controls show the members again, so text typed
// into the path since the last refresh is replaced.
void CSetWMA::ChooseProfileFile() {
    std::vector<wchar_t> file(520, L'\0');
    profilePath.copy(file.data(), file.size() - 1);
    OPENFILENAMEW chooser = {};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = GetSafeHwnd();
    chooser.lpstrFilter = L"PRX (*.PRX)\0*.PRX\0";
    chooser.lpstrFile = file.data();
    chooser.nMaxFile = static_cast<DWORD>(file.size());
    chooser.lpstrDefExt = L"prx";
    chooser.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (GetOpenFileNameW(&chooser))
        profilePath = file.data();
    UpdateData(false);
}

void CSetWMA::OnDropFile(const std::wstring& path) {
    profilePath = path;
    UpdateData(false);
}

void CSetWMA::OnOK() {
    if (!UpdateData(true))
        return;
    TakeSelectedIndex(sourceList, settings.wmaSelect);
    TakeSelectedData(v7List, settings.wma7);
    TakeSelectedData(v4List, settings.wma4);
    settings.wmaPRX = profilePath;
    settings.wma2Pass = IsDlgButtonChecked(GetSafeHwnd(), IDC_WMA_TWO_PASS) == BST_CHECKED ? 1 : 0;
    EndDialog(IDOK);
}
