#include "CSetOpus.h"
#include "framework/CDataExchange.h"
#include "resdll/Res.h"
#include "ui/ComboSelection.h"
#include "ui/Language.h"
#include <algorithm>
#include <iterator>
#include <vector>

namespace {

const int kRates[] = {6, 8, 12, 16, 24, 32, 48, 64, 96, 128, 160, 192, 256, 320, 384, 450, 510};
constexpr int kMinKbps = 6;
constexpr int kMaxKbps = 510;
constexpr UINT kModeCount = 3; // VBR, constrained VBR, CBR

// The common rates, with a saved rate the encoder takes in its place among them.
std::vector<int> RatesWith(int saved) {
    std::vector<int> rates(std::begin(kRates), std::end(kRates));
    auto place = std::lower_bound(rates.begin(), rates.end(), saved);
    if (saved >= kMinKbps && saved <= kMaxKbps && (place == rates.end() || *place != saved))
        rates.insert(place, saved);
    return rates;
}

} // namespace

CSetOpus::CSetOpus(HWND parent) : CBaseDialog(0, parent, 0, 0) {}

void CSetOpus::DoDataExchange(CDataExchange& exchange) {
    exchange.Bind(IDC_OPUS_BITRATE, rateList);
    exchange.Bind(IDC_OPUS_MODE, modeList);
}

BOOL CSetOpus::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    SetTexts();
    FillAndSelect();
    UpdateData(false);
    return TRUE;
}

void CSetOpus::SetTexts() {
    static const struct {
        int control;
        UINT japanese;
    } labels[] = {
        {IDC_OPUS_BITRATE_LABEL, IDS_OPUS_BITRATE_LABEL},
        {IDC_OPUS_MODE_LABEL, IDS_OPUS_MODE_LABEL},
    };
    for (const auto& label : labels)
        SetItemText(label.control, LoadResPairedString(label.japanese, label.japanese + 1), 0);
    SetWindowTextW(GetSafeHwnd(),
                   LoadResPairedString(IDS_OPUS_CAPTION, IDS_OPUS_CAPTION + 1).c_str());
}

// A rate or mode outside the encoder's range (edited by hand) selects nothing.
void CSetOpus::FillAndSelect() {
    for (int kbps : RatesWith(settings.opusKbps))
        AddWithData(rateList, RateText(kbps), static_cast<DWORD_PTR>(kbps));
    SelectByData(rateList, static_cast<DWORD_PTR>(settings.opusKbps));
    for (UINT i = 0; i < kModeCount; ++i)
        modeList.AddString(
            LoadResPairedString(IDS_OPUS_MODE_FIRST + 2 * i, IDS_OPUS_MODE_FIRST + 2 * i + 1));
    modeList.SetCurSel(settings.opusMode);
}

void CSetOpus::OnOK() {
    if (!UpdateData(true))
        return;
    TakeSelectedData(rateList, settings.opusKbps);
    TakeSelectedIndex(modeList, settings.opusMode);
    EndDialog(IDOK);
}
