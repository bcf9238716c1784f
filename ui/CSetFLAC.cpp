#include "CSetFLAC.h"
#include "framework/CDataExchange.h"
#include "resdll/Res.h"
#include "ui/ComboSelection.h"
#include "ui/Language.h"

namespace {
constexpr int kLevelCount = 9; // 0 (fastest) .. 8 (smallest)
}

CSetFLAC::CSetFLAC(HWND parent) : CBaseDialog(0, parent, 0, 0) {}

void CSetFLAC::DoDataExchange(CDataExchange& exchange) {
    exchange.Bind(IDC_FLAC_LEVEL, levelList);
    exchange.Bind(IDC_FLAC_BITS, bitsList);
    exchange.Bind(IDC_FLAC_RATE, rateList);
}

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
        {IDC_FLAC_BITS_LABEL, IDS_FLAC_BITS_LABEL},
        {IDC_FLAC_RATE_LABEL, IDS_FLAC_RATE_LABEL},
    };
    for (const auto& label : labels)
        SetItemText(label.control, LoadResPairedString(label.japanese, label.japanese + 1), 0);
    SetWindowTextW(GetSafeHwnd(),
                   LoadResPairedString(IDS_FLAC_CAPTION, IDS_FLAC_CAPTION + 1).c_str());
}

// A level outside 0..8, or a depth or rate not listed (edited by hand),
// selects nothing.
void CSetFLAC::FillAndSelect() {
    const std::wstring asSource = LoadResPairedString(IDS_FLAC_AS_SOURCE, IDS_FLAC_AS_SOURCE + 1);
    AddWithData(bitsList, asSource, 0);
    AddWithData(bitsList, LoadResPairedString(IDS_FLAC_16_BITS, IDS_FLAC_16_BITS + 1), 16);
    AddWithData(bitsList, LoadResPairedString(IDS_FLAC_24_BITS, IDS_FLAC_24_BITS + 1), 24);
    SelectByData(bitsList, static_cast<DWORD_PTR>(settings.flacBits));
    AddWithData(rateList, asSource, 0);
    AddWithData(rateList, L"44.1 kHz", 44100);
    AddWithData(rateList, L"48 kHz", 48000);
    SelectByData(rateList, static_cast<DWORD_PTR>(settings.flacRate));
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
    TakeSelectedData(bitsList, settings.flacBits);
    TakeSelectedData(rateList, settings.flacRate);
    settings.flacVerify = IsDlgButtonChecked(GetSafeHwnd(), IDC_FLAC_VERIFY) == BST_CHECKED ? 1 : 0;
    EndDialog(IDOK);
}
