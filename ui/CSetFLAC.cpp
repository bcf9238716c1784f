#include "CSetFLAC.h"
#include "framework/CDataExchange.h"
#include "resdll/Res.h"
#include "ui/ComboSelection.h"
#include "ui/Language.h"

namespace {
constexpr int kLevelCount = 9; // 0 (fastest) .. 8 (smallest)
}

CSetFLAC::CSetFLAC(HWND parent) : CBaseDialog(0, parent, 0, 0) {}

void CSetFLAC::DoDataExchange(CDataExchange& exchange) { exchange.Bind(IDC_FLAC_LEVEL, levelList); }

BOOL CSetFLAC::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    SetTexts();
    FillAndSelect();
    UpdateData(false);
    return TRUE;
}

void CSetFLAC::SetTexts() {
    static const struct {
        int control;
        UINT japanese;
    } labels[] = {
        {IDC_FLAC_LEVEL_LABEL, IDS_FLAC_LEVEL_LABEL},
        {IDC_FLAC_LEVEL_SCALE, IDS_FLAC_LEVEL_SCALE},
        {IDC_FLAC_VERIFY, IDS_FLAC_VERIFY},
    };
    for (const auto& label : labels)
        SetItemText(label.control, LoadResPairedString(label.japanese, label.japanese + 1), 0);
    SetWindowTextW(GetSafeHwnd(),
                   LoadResPairedString(IDS_FLAC_CAPTION, IDS_FLAC_CAPTION + 1).c_str());
}

// A level outside 0..8 (edited by hand) selects nothing.
void CSetFLAC::FillAndSelect() {
    for (int level = 0; level < kLevelCount; ++level)
        levelList.AddString(std::to_wstring(level));
    levelList.SetCurSel(settings.flacLevel);
    CheckDlgButton(GetSafeHwnd(), IDC_FLAC_VERIFY,
                   settings.flacVerify ? BST_CHECKED : BST_UNCHECKED);
}

void CSetFLAC::OnOK() {
    if (!UpdateData(true))
        return;
    TakeSelectedIndex(levelList, settings.flacLevel);
    settings.flacVerify = IsDlgButtonChecked(GetSafeHwnd(), IDC_FLAC_VERIFY) == BST_CHECKED ? 1 : 0;
    EndDialog(IDOK);
}
