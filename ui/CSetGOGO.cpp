#include "CSetGOGO.h"
#include "framework/CDataExchange.h"
#include "resdll/Res.h"
#include "ui/ComboSelection.h"
#include "ui/Language.h"

namespace {

const int kCbrRates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
const int kVbrRates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr int kModeCount = 5;
constexpr int kQualityCount = 10;

template <size_t N> void FillRates(CComboBox& list, const int (&rates)[N]) {
    for (int kbps : rates)
        AddWithData(list, RateText(kbps), static_cast<DWORD_PTR>(kbps));
}

} // namespace

CSetGOGO::CSetGOGO(HWND parent) : CBaseDialog(0, parent, 0, 0) {}

void CSetGOGO::DoDataExchange(CDataExchange& exchange) {
    exchange.Bind(IDC_GOGO_MODE, modeList);
    exchange.Bind(IDC_GOGO_CBR_BPS, cbrList);
    exchange.Bind(IDC_GOGO_VBR_BPS, vbrList);
    exchange.Bind(IDC_GOGO_QUALITY, qualityList);
}

BOOL CSetGOGO::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    SetTexts();
    FillLists();
    SelectFromSettings();
    ApplyVbrRule();
    UpdateData(false);
    return TRUE;
}

void CSetGOGO::SetTexts() {
    static const struct {
        int control;
        UINT japanese;
    } labels[] = {
        {IDC_GOGO_MODE_LABEL, IDS_GOGO_MODE_LABEL},
        {IDC_GOGO_CBR_BPS_LABEL, IDS_GOGO_CBR_BPS_LABEL},
        {IDC_GOGO_VBR_BPS_LABEL, IDS_GOGO_VBR_BPS_LABEL},
        {IDC_GOGO_QUALITY_LABEL, IDS_GOGO_QUALITY_LABEL},
        {IDC_GOGO_QUALITY_SCALE, IDS_GOGO_QUALITY_SCALE},
        {IDC_GOGO_VBR, IDS_GOGO_VBR},
    };
    for (const auto& label : labels)
        SetItemText(label.control, LoadResPairedString(label.japanese, label.japanese + 1), 0);
    SetWindowTextW(GetSafeHwnd(),
                   LoadResPairedString(IDS_GOGO_CAPTION, IDS_GOGO_CAPTION + 1).c_str());
}

void CSetGOGO::FillLists() {
    for (UINT i = 0; i < kModeCount; ++i)
        modeList.AddString(
            LoadResPairedString(IDS_GOGO_MODE_FIRST + 2 * i, IDS_GOGO_MODE_FIRST + 2 * i + 1));
    FillRates(cbrList, kCbrRates);
    FillRates(vbrList, kVbrRates);
    for (int quality = 0; quality < kQualityCount; ++quality)
        qualityList.AddString(std::to_wstring(quality));
}

void CSetGOGO::SelectFromSettings() {
    SelectByData(cbrList, static_cast<DWORD_PTR>(settings.cbr_bps));
    SelectByData(vbrList, static_cast<DWORD_PTR>(settings.vbr_bps));
    modeList.SetCurSel(settings.EncType);
    qualityList.SetCurSel(settings.Qual);
    CheckDlgButton(GetSafeHwnd(), IDC_GOGO_VBR, settings.vbr ? BST_CHECKED : BST_UNCHECKED);
}

void CSetGOGO::ApplyVbrRule() {
    const bool vbr = IsDlgButtonChecked(GetSafeHwnd(), IDC_GOGO_VBR) == BST_CHECKED;
    for (int id : {IDC_GOGO_QUALITY, IDC_GOGO_QUALITY_LABEL, IDC_GOGO_VBR_BPS_LABEL,
                   IDC_GOGO_QUALITY_SCALE, IDC_GOGO_VBR_BPS})
        EnableWindow(GetDlgItem(id), vbr);
    for (int id : {IDC_GOGO_CBR_BPS, IDC_GOGO_CBR_BPS_LABEL})
        EnableWindow(GetDlgItem(id), !vbr);
}

bool CSetGOGO::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_GOGO_VBR && code == BN_CLICKED) {
        ApplyVbrRule();
        return true;
    }
    return CBaseDialog::OnCommand(id, code, control);
}

void CSetGOGO::OnOK() {
    if (!UpdateData(true))
        return;
    settings.vbr = IsDlgButtonChecked(GetSafeHwnd(), IDC_GOGO_VBR) == BST_CHECKED ? 1 : 0;
    TakeSelectedIndex(modeList, settings.EncType);
    TakeSelectedIndex(qualityList, settings.Qual);
    TakeSelectedData(cbrList, settings.cbr_bps);
    TakeSelectedData(vbrList, settings.vbr_bps);
    EndDialog(IDOK);
}
