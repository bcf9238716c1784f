#include "CAudioDlg.h"
#include "framework/CDataExchange.h"
#include "resources/resource.h"
#include "ui/EditSettings.h"
#include "ui/Language.h"

CAudioDlg::CAudioDlg(HWND owner) : CBaseDialog(IDD_SETTING, owner, 0, 0) {}

BOOL CAudioDlg::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    static const struct {
        int control;
        UINT japanese;
    } texts[] = {
        {IDC_SETTING_MP3_GROUP, IDS_SETTING_MP3_GROUP},
        {IDC_SETTING_MP3, IDS_SETTING_MP3},
        {IDC_SETTING_WMA_GROUP, IDS_SETTING_WMA_GROUP},
        {IDC_SETTING_WMA, IDS_SETTING_WMA},
        {IDC_SETTING_FLAC_GROUP, IDS_SETTING_FLAC_GROUP},
        {IDC_SETTING_FLAC, IDS_SETTING_FLAC},
        {IDC_SETTING_OPUS_GROUP, IDS_SETTING_OPUS_GROUP},
        {IDC_SETTING_OPUS, IDS_SETTING_OPUS},
        {IDC_SETTING_VOLUME_GROUP, IDS_SETTING_VOLUME_GROUP},
        {IDC_SETTING_VOLUME, IDS_SETTING_VOLUME},
        {IDC_SETTING_COPY_TAGS, IDS_SETTING_COPY_TAGS},
    };
    for (const auto& text : texts)
        SetItemText(text.control, LoadPairedString(text.japanese, text.japanese + 1), 0);
    SetWindowTextW(GetSafeHwnd(),
                   LoadPairedString(IDS_SETTING_CAPTION, IDS_SETTING_CAPTION + 1).c_str());
    return TRUE;
}

void CAudioDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Check(IDC_SETTING_COPY_TAGS, settings.copyTags);
}

bool CAudioDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (code != BN_CLICKED)
        return CBaseDialog::OnCommand(id, code, control);
    switch (id) {
    case IDC_SETTING_MP3:
        OnMp3Settings();
        return true;
    case IDC_SETTING_WMA:
        OnWmaSettings();
        return true;
    case IDC_SETTING_FLAC:
        OnFlacSettings();
        return true;
    case IDC_SETTING_OPUS:
        OnOpusSettings();
        return true;
    case IDC_SETTING_VOLUME:
        OnVolume();
        return true;
    default:
        return CBaseDialog::OnCommand(id, code, control);
    }
}

void CAudioDlg::OnMp3Settings() { EditMp3Settings(settings, GetSafeHwnd()); }

void CAudioDlg::OnWmaSettings() { EditWmaSettings(settings, GetSafeHwnd()); }

void CAudioDlg::OnFlacSettings() { EditFlacSettings(settings, GetSafeHwnd()); }

void CAudioDlg::OnOpusSettings() { EditOpusSettings(settings, GetSafeHwnd()); }

void CAudioDlg::OnVolume() {
    settings.VOL = EditVolume(settings.VOL, GetSafeHwnd());
    settings.Save();
}
