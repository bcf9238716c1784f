#include "CVolume.h"
#include "framework/CDataExchange.h"
#include "resdll/Res.h"
#include "ui/Language.h"

CVolume::CVolume(HWND parent) : CBaseDialog(0, parent, 0, 0) {}

BOOL CVolume::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    SetItemText(IDC_VOLUME_LABEL, LoadResPairedString(IDS_VOLUME_LABEL, IDS_VOLUME_LABEL + 1), 0);
    SetWindowTextW(GetSafeHwnd(),
                   LoadResPairedString(IDS_VOLUME_CAPTION, IDS_VOLUME_CAPTION + 1).c_str());
    return TRUE;
}

void CVolume::DoDataExchange(CDataExchange& exchange) { exchange.Text(IDC_VOLUME, volume); }
